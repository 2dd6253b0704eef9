#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quillfen::platform::dbus {

// One-way calls carrying one byte array, sent from the thread that makes them over a
// session-bus connection of their own, which that thread's Qt event loop serves.
//
// QtDBus hands every outgoing message to a thread of its own and wakes that thread for it.
// For the documents the service sends its clients every second, that hand-over costs more
// than everything else the service does while only the menu bar is shown; sent here, a
// message costs one write to the bus's socket and nothing more: no message object, no copy.
//
// The calls come from this connection's unique name, not from the name of the connection
// they answer; receivers that take any caller, as the clients' endpoints do, do not notice.
class DirectBusSender {
public:
    // Connects to the bus at `address` (a D-Bus address), the session bus when empty. Blocks
    // for the bus's greeting.
    explicit DirectBusSender(const std::string& address = {});
    ~DirectBusSender();
    DirectBusSender(const DirectBusSender&) = delete;
    DirectBusSender& operator=(const DirectBusSender&) = delete;

    // False when the bus could not be reached or has gone away.
    bool isConnected() const;
    // The connection's unique name (":1.42"); empty when it never connected.
    const std::string& uniqueName() const;

    // A one-way call to `member` of `path` and `interface` at `destination`, checked and
    // laid out once, to be sent again and again with different bytes: each send then only
    // writes its header and the bytes. Asks for no reply and starts no service. Invalid when
    // a name or path is one the bus would refuse.
    class Call {
    public:
        Call(const std::string& destination, const char* path, const char* interface,
             const char* member);
        bool isValid() const { return !header_.empty(); }

    private:
        friend class DirectBusSender;
        std::string header_; // with a body length and serial of zero
    };

    // Sends `call` with `bytes` as its one byte-array argument, without waiting: what the
    // socket does not take at once is written as the event loop finds it writable. False when
    // it cannot be sent: not connected, an invalid call, an array too long for the bus, or a
    // bus that has left 64 MiB unread.
    bool send(const Call& call, std::string_view bytes);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace quillfen::platform::dbus
