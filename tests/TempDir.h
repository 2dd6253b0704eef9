#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillfen::testing {

// A fresh folder removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void writeText(const std::filesystem::path& path, std::string_view text);
std::string readText(const std::filesystem::path& path);
// An empty file at `path` that its owner may run, its folders made; its canonical path.
std::filesystem::path writeProgram(const std::filesystem::path& path);

// Sets an environment variable for the scope, restoring the previous state after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string old_;
    bool had_;
};

} // namespace quillfen::testing
