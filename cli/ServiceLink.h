#pragma once

#include "platform/Messaging.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quillfen::cli {

// How long a command waits for the monitoring service's first answer, which may include the
// session bus starting it: QUILLFEN_SERVICE_TIMEOUT seconds (from 0.1 to 600) when set, else
// 2.5, so that a command says what is wrong within 3 seconds.
int serviceTimeoutMs();

// "2.5 seconds", "1 second".
std::string secondsText(int milliseconds);

// Why the session bus cannot be used, in words a user can act on; nothing when it can.
std::optional<std::string> busProblem();

// Why the service gave no answer, as the bus tells it: not installed, not started, refusing,
// or silent for `waitedMs`. `callError` is the failed call's error text, empty when the
// call was still waiting for its answer.
std::string serviceProblem(const std::string& callError, int waitedMs);

// One connection to the service for one command. The service handles a connection's
// messages in order, so an answer to `snapshot` also means that every message sent before
// it has been handled, and successive answers come from successive moments.
class ServiceSession {
public:
    ServiceSession();
    ~ServiceSession();
    ServiceSession(const ServiceSession&) = delete;
    ServiceSession& operator=(const ServiceSession&) = delete;

    // Nothing when the connection could not be set up.
    QuillfenServiceProtocol* proxy() { return proxy_.get(); }

    // Asks for the current snapshot document; `done` gets it, or nothing with `problem()`
    // saying why, after at most `timeoutMs`. One request at a time.
    void request(int timeoutMs, std::function<void(std::optional<std::string>)> done);
    // The same, waiting for the answer in a nested event loop.
    std::optional<std::string> snapshot(int timeoutMs);

    // Why the latest request got no answer; empty after an answer.
    const std::string& problem() const { return problem_; }

private:
    struct Pending;
    void finish(const std::shared_ptr<Pending>& pending, std::optional<std::string> document);

    std::shared_ptr<platform::XPCConnection> connection_;
    std::shared_ptr<QuillfenServiceProtocol> proxy_;
    std::shared_ptr<Pending> pending_;
    std::string problem_;
};

} // namespace quillfen::cli
