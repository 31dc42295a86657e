// A scratch folder per test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A path that test code uses as a std::string and hands to the file interfaces, which take
// `const char*`, as it is.
class TestPath : public std::string {
public:
    TestPath(std::string path) : std::string(std::move(path)) {}
    operator const char*() const { return c_str(); }
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sfxtest-XXXXXX").string();
        path_ = mkdtemp(&pattern[0]);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestPath File(const std::string& name) const { return path_ + "/" + name; }
    // The folder with its separator, as the temporary folder is given to the loader.
    TestPath Folder() const { return path_ + "/"; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files in `folder` whose names show an unfinished output of sfxpack.
inline std::vector<std::string> TemporaryOutputsIn(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        if (entry.path().filename().string().find(".sfx-new") != std::string::npos ||
            entry.path().filename().string().find(".sfxpack-") != std::string::npos)
            found.push_back(entry.path().string());
    return found;
}
