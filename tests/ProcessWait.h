#pragma once

namespace quillfen::testing {

// Waits, without polling, until the process `pid` (which need not be a child) has ended;
// false when it still runs after `timeoutMs`.
bool waitForExit(int pid, int timeoutMs);

} // namespace quillfen::testing
