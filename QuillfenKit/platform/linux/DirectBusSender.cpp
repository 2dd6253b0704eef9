#include "platform/linux/DirectBusSender.h"

#include <QObject>
#include <QSocketNotifier>

#include <dbus/dbus.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/socket.h>
#include <sys/uio.h>

namespace quillfen::platform::dbus {
namespace {

// Past this much waiting to be written, the bus is not reading: further calls are refused
// rather than held, so a stalled bus cannot make the process grow without end.
constexpr std::size_t kMaximumWaiting = std::size_t{64} << 20;

// Where a call's header keeps the length of its body and its serial number.
constexpr std::size_t kBodyLengthAt = 4;
constexpr std::size_t kSerialAt = 8;

void pad(std::string& out, std::size_t alignment) {
    out.append((alignment - out.size() % alignment) % alignment, '\0');
}

void appendUint32(std::string& out, std::uint32_t value) {
    pad(out, 4);
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// One header field: its code and a variant of one string-like value, laid out as the wire
// format wants it. `out` starts at an offset that is a multiple of eight in the message.
void appendField(std::string& out, char code, char type, std::string_view value) {
    pad(out, 8);
    out.push_back(code);
    out.push_back(1);
    out.push_back(type);
    out.push_back('\0');
    if (type == DBUS_TYPE_SIGNATURE)
        out.push_back(static_cast<char>(value.size()));
    else
        appendUint32(out, static_cast<std::uint32_t>(value.size()));
    out.append(value);
    out.push_back('\0');
}

} // namespace

// libdbus makes the connection: it finds and reaches the bus, authenticates and takes the
// greeting. From then on the socket is this object's alone, and libdbus is never called on
// it again: a call is its header, laid out once, and its bytes, written with one system call
// and no copy. Whatever the bus sends is read and let go: nothing is expected here but the
// bus's own signals.
struct DirectBusSender::State {
    DBusConnection* connection = nullptr;
    int socket = -1;
    bool connected = false;
    std::string uniqueName;
    std::uint32_t serial = 1u << 16; // clear of the serials libdbus used for the greeting
    std::string waiting;             // what was sent but not yet written, from `written` on
    std::size_t written = 0;
    std::string header; // the header of the call being sent
    QObject owner;
    QSocketNotifier* reader = nullptr;
    QSocketNotifier* writer = nullptr;

    void letGoOfWaiting() {
        std::string().swap(waiting);
        written = 0;
    }

    void disconnect() {
        connected = false;
        letGoOfWaiting();
        if (reader) reader->setEnabled(false);
        if (writer) writer->setEnabled(false);
    }

    void drain() {
        char scratch[4096];
        for (;;) {
            const ssize_t n = ::recv(socket, scratch, sizeof scratch, MSG_DONTWAIT);
            if (n > 0) continue;
            if (n < 0 && errno == EINTR) continue;
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) disconnect();
            return;
        }
    }

    // Writes from `parts` what the socket takes now; keeps the rest, in order, for when it is
    // writable again. False when the connection has failed.
    bool write(iovec* parts, int count) {
        std::size_t total = 0;
        for (int i = 0; i < count; ++i)
            total += parts[i].iov_len;
        std::size_t taken = 0;
        if (waiting.empty()) {
            msghdr message{};
            message.msg_iov = parts;
            message.msg_iovlen = static_cast<std::size_t>(count);
            ssize_t n;
            do {
                n = ::sendmsg(socket, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
            } while (n < 0 && errno == EINTR);
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                disconnect();
                return false;
            }
            taken = n < 0 ? 0 : static_cast<std::size_t>(n);
        }
        if (taken == total) return true;
        for (int i = 0; i < count; ++i) {
            const std::size_t skip = std::min(taken, parts[i].iov_len);
            taken -= skip;
            waiting.append(static_cast<const char*>(parts[i].iov_base) + skip,
                           parts[i].iov_len - skip);
        }
        writer->setEnabled(true);
        return true;
    }

    // Written from where the last write stopped; the written part is let go only once it is
    // the larger part, so a slow bus taking megabytes a little at a time does not have them
    // moved again for every write.
    void flush() {
        while (written < waiting.size()) {
            const ssize_t n = ::send(socket, waiting.data() + written, waiting.size() - written,
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK) {
                    disconnect();
                } else if (written > waiting.size() / 2) {
                    waiting.erase(0, written);
                    written = 0;
                }
                return;
            }
            written += static_cast<std::size_t>(n);
        }
        letGoOfWaiting();
        writer->setEnabled(false);
    }
};

DirectBusSender::DirectBusSender(const std::string& address)
    : state_(std::make_unique<State>()) {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = nullptr;
    if (address.empty()) {
        connection = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    } else if ((connection = dbus_connection_open_private(address.c_str(), &error)) &&
               !dbus_bus_register(connection, &error)) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        connection = nullptr;
    }
    dbus_error_free(&error);
    if (!connection) return;
    // A bus that goes away ends the connection, not the process.
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    state_->connection = connection;
    dbus_connection_flush(connection);
    if (const char* name = dbus_bus_get_unique_name(connection)) state_->uniqueName = name;
    if (!dbus_connection_get_socket(connection, &state_->socket) || state_->socket < 0) return;
    state_->connected = true;
    State* state = state_.get();
    state->reader = new QSocketNotifier(state->socket, QSocketNotifier::Read, &state->owner);
    QObject::connect(state->reader, &QSocketNotifier::activated, &state->owner,
                     [state] { state->drain(); });
    state->writer = new QSocketNotifier(state->socket, QSocketNotifier::Write, &state->owner);
    state->writer->setEnabled(false);
    QObject::connect(state->writer, &QSocketNotifier::activated, &state->owner,
                     [state] { state->flush(); });
    state->drain();
}

DirectBusSender::~DirectBusSender() {
    if (!state_->connection) return;
    // The notifiers go before the socket they watch.
    delete state_->reader;
    delete state_->writer;
    dbus_connection_close(state_->connection);
    dbus_connection_unref(state_->connection);
}

bool DirectBusSender::isConnected() const {
    return state_->connected;
}

const std::string& DirectBusSender::uniqueName() const {
    return state_->uniqueName;
}

DirectBusSender::Call::Call(const std::string& destination, const char* path, const char* interface,
                            const char* member) {
    if (!dbus_validate_bus_name(destination.c_str(), nullptr) ||
        !dbus_validate_path(path, nullptr) || !dbus_validate_interface(interface, nullptr) ||
        !dbus_validate_member(member, nullptr))
        return;
    std::string fields;
    appendField(fields, DBUS_HEADER_FIELD_PATH, DBUS_TYPE_OBJECT_PATH, path);
    appendField(fields, DBUS_HEADER_FIELD_INTERFACE, DBUS_TYPE_STRING, interface);
    appendField(fields, DBUS_HEADER_FIELD_MEMBER, DBUS_TYPE_STRING, member);
    appendField(fields, DBUS_HEADER_FIELD_DESTINATION, DBUS_TYPE_STRING, destination);
    appendField(fields, DBUS_HEADER_FIELD_SIGNATURE, DBUS_TYPE_SIGNATURE, "ay");
    header_.push_back(std::endian::native == std::endian::little ? DBUS_LITTLE_ENDIAN
                                                                 : DBUS_BIG_ENDIAN);
    header_.push_back(DBUS_MESSAGE_TYPE_METHOD_CALL);
    header_.push_back(DBUS_HEADER_FLAG_NO_REPLY_EXPECTED | DBUS_HEADER_FLAG_NO_AUTO_START);
    header_.push_back(DBUS_MAJOR_PROTOCOL_VERSION);
    appendUint32(header_, 0); // body length, set for each call
    appendUint32(header_, 0); // serial, set for each call
    appendUint32(header_, static_cast<std::uint32_t>(fields.size()));
    header_ += fields;
    pad(header_, 8);
}

bool DirectBusSender::send(const Call& call, std::string_view bytes) {
    State& state = *state_;
    if (!call.isValid() || !state.connected || bytes.size() > DBUS_MAXIMUM_ARRAY_LENGTH ||
        state.waiting.size() - state.written > kMaximumWaiting)
        return false;
    std::string& header = state.header;
    header.assign(call.header_);
    auto length = static_cast<std::uint32_t>(bytes.size());
    const std::uint32_t bodyLength = sizeof length + length;
    if (++state.serial == 0) ++state.serial;
    std::memcpy(header.data() + kBodyLengthAt, &bodyLength, sizeof bodyLength);
    std::memcpy(header.data() + kSerialAt, &state.serial, sizeof state.serial);
    iovec parts[] = {{header.data(), header.size()},
                     {&length, sizeof length},
                     {const_cast<char*>(bytes.data()), bytes.size()}};
    return state.write(parts, bytes.empty() ? 2 : 3);
}

} // namespace quillfen::platform::dbus
