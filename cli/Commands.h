#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quillfen::cli {

// Exit statuses of the command-line client.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kMisuse = 2;

// Runs one command line (without the program name); returns the exit status.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// What `quillfen help [COMMAND]` prints; nothing for an unknown command.
std::optional<std::string> helpText(const std::string& command = {});

// `quillfen snapshot --local …`
int runSnapshot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `quillfen snapshot [--text]` through the monitoring service, `quillfen watch`,
// `quillfen settings …`
int runServiceSnapshot(bool text, std::ostream& out, std::ostream& err);
int runWatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runSettings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A snapshot document as text no wider than `width` (0: no limit); nothing when it is no
// snapshot document.
std::optional<std::string> textOfDocument(const std::string& document, std::size_t width);

// `quillfen helper …`
int runHelper(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace quillfen::cli
