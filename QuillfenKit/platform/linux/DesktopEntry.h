#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Desktop entry files (freedesktop.org): the `[Desktop Entry]` group, read and written.
namespace quillfen::platform::linux::desktop {

// The keys of the `[Desktop Entry]` group with their values unescaped as strings, or nothing
// when the text has no such group or is malformed. A repeated key keeps its first value.
std::optional<std::map<std::string, std::string, std::less<>>> parse(std::string_view text);

// The arguments of an `Exec` value (already unescaped), unquoted, field codes left as they
// are; nothing when the value is malformed.
std::optional<std::vector<std::string>> execArguments(std::string_view exec);

// The program an `Exec` value (already unescaped) runs: its first argument, unquoted; nothing
// when the value is malformed.
std::optional<std::string> execProgram(std::string_view exec);

// An `Exec` value, before string escaping, that runs `program` without arguments.
std::string execValue(const std::filesystem::path& program);

// A whole file with the given keys in order under `[Desktop Entry]`, values escaped.
std::string format(const std::vector<std::pair<std::string, std::string>>& keys);

} // namespace quillfen::platform::linux::desktop
