#pragma once

#include <csignal>
#include <functional>

namespace quillfen::testing {

// Waits, without polling, until the process `pid` (which need not be a child) has ended;
// false when it still runs after `timeoutMs`.
bool waitForExit(int pid, int timeoutMs);

// Runs the Qt event loop until `done` holds, looking again whenever an event has been handled
// (a watcher, process or timer kept alive by the caller wakes it); false after `timeoutMs`.
bool spinUntil(const std::function<bool()>& done, int timeoutMs);

// Kills the process `pid` when the scope ends, so a failed assertion leaves nothing running.
struct KillAtScopeEnd {
    int pid;
    ~KillAtScopeEnd() { ::kill(pid, SIGKILL); }
};

} // namespace quillfen::testing
