#pragma once

#include <QProcessEnvironment>
#include <QStringList>

#include <csignal>
#include <functional>
#include <string>

namespace quillfen::testing {

// Waits, without polling, until the process `pid` (which need not be a child) has ended;
// false when it still runs after `timeoutMs`.
bool waitForExit(int pid, int timeoutMs);

// Runs the Qt event loop until `done` holds, looking again whenever an event has been handled
// (a watcher, process or timer kept alive by the caller wakes it); false after `timeoutMs`.
bool spinUntil(const std::function<bool()>& done, int timeoutMs);

// What a program run to its end said: its exit status (-1 when it crashed or did not end),
// its output and how long it took.
struct Ran {
    int status = -1;
    std::string out, err;
    qint64 ms = 0;
};
Ran runToEnd(const QString& program, const QStringList& args, const QProcessEnvironment& env);

// Kills the process `pid` when the scope ends, so a failed assertion leaves nothing running.
struct KillAtScopeEnd {
    int pid;
    ~KillAtScopeEnd() { ::kill(pid, SIGKILL); }
};

} // namespace quillfen::testing
