#include "platform/linux/DesktopEntry.h"

#include "platform/linux/KernelText.h"

namespace quillfen::platform::linux::desktop {
namespace {

std::optional<std::string> unescapeString(std::string_view v) {
    std::string out;
    out.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\') {
            out += v[i];
            continue;
        }
        if (++i == v.size()) return std::nullopt;
        switch (v[i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        // Inside Exec a backslash also escapes quoting characters; they are kept for the
        // second, Exec-level pass.
        default:
            out += '\\';
            out += v[i];
            break;
        }
    }
    return out;
}

std::string escapeString(std::string_view v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        switch (c) {
        // Readers trim blanks around a value: a space at either end is kept only escaped.
        case ' ':
            out += i == 0 || i + 1 == v.size() ? "\\s" : " ";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool isGroupHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

} // namespace

std::optional<std::map<std::string, std::string, std::less<>>> parse(std::string_view text) {
    std::map<std::string, std::string, std::less<>> keys;
    bool inEntry = false, seenEntry = false;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        const auto line = trim(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (line.empty() || line.front() == '#') continue;
        if (isGroupHeader(line)) {
            const auto name = line.substr(1, line.size() - 2);
            if (name == "Desktop Entry" && seenEntry) return std::nullopt; // two of them
            inEntry = name == "Desktop Entry";
            seenEntry = seenEntry || inEntry;
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) return std::nullopt;
        if (!inEntry) continue;
        const auto key = trim(line.substr(0, eq));
        auto value = unescapeString(trim(line.substr(eq + 1)));
        if (key.empty() || !value) return std::nullopt;
        keys.try_emplace(std::string(key), std::move(*value));
    }
    if (!seenEntry) return std::nullopt;
    return keys;
}

std::optional<std::vector<std::string>> execArguments(std::string_view exec) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    for (;;) {
        while (i < exec.size() && exec[i] == ' ')
            ++i;
        if (i == exec.size()) return arguments;
        std::string argument;
        if (exec[i] == '"') {
            for (++i;; ++i) {
                if (i == exec.size()) return std::nullopt; // unterminated
                const char c = exec[i];
                if (c == '"') {
                    ++i;
                    break;
                }
                if (c == '\\') {
                    if (++i == exec.size()) return std::nullopt;
                    const char e = exec[i];
                    if (e != '"' && e != '`' && e != '$' && e != '\\') return std::nullopt;
                    argument += e;
                } else {
                    argument += c;
                }
            }
            if (i < exec.size() && exec[i] != ' ') return std::nullopt;
        } else {
            for (; i < exec.size() && exec[i] != ' '; ++i) {
                const char c = exec[i];
                if (c == '"' || c == '\\') return std::nullopt;
                argument += c;
            }
        }
        arguments.push_back(std::move(argument));
    }
}

std::optional<std::string> execProgram(std::string_view exec) {
    const auto arguments = execArguments(exec);
    if (!arguments || arguments->empty()) return std::nullopt;
    const std::string& program = arguments->front();
    // Field codes stand for files and URLs, never for the program; "%%" is a literal percent.
    std::string unescaped;
    for (std::size_t k = 0; k < program.size(); ++k) {
        if (program[k] == '%') {
            if (k + 1 == program.size() || program[k + 1] != '%') return std::nullopt;
            ++k;
        }
        unescaped += program[k];
    }
    if (unescaped.empty()) return std::nullopt;
    return unescaped;
}

std::string execValue(const std::filesystem::path& program) {
    std::string out = "\"";
    for (const char c : program.string()) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    out += '"';
    return out;
}

std::string format(const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string out = "[Desktop Entry]\n";
    for (const auto& [key, value] : keys) {
        out += key;
        out += '=';
        out += escapeString(value);
        out += '\n';
    }
    return out;
}

} // namespace quillfen::platform::linux::desktop
