#pragma once

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

// `quillfen snapshot …`
int runSnapshot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `quillfen snapshot` through the monitoring service, `quillfen watch`, `quillfen settings …`
int runServiceSnapshot(std::ostream& out, std::ostream& err);
int runWatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runSettings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `quillfen helper …`
int runHelper(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace quillfen::cli
