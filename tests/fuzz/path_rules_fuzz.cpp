// Any bytes as a path a package names below a base folder (the first byte says whether it names
// a file). The start-up judges paths against a stand-in install folder because the real one is
// not chosen yet: that is sound only if the verdict is the same for every base folder, which this
// holds against two others of other names and depths. A path that stays inside must also resolve
// inside, as a whole.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "install/path_rules.h"
#include "platform/file.h"

namespace {
bool ResolvesInside(const char* base, const std::string& relative, bool isFile) {
    char fullBase[platform::kPathRoom];
    char full[platform::kPathRoom];
    std::string joined = base;
    if (joined.back() != '\\') joined += '\\';
    joined += relative;
    if (!platform::FullPath(base, fullBase, sizeof fullBase) ||
        !platform::FullPath(joined.c_str(), full, sizeof full))
        return false;
    size_t length = std::strlen(fullBase);
    if (length > 0 && fullBase[length - 1] == '\\') --length;
    const size_t fullLength = std::strlen(full);
    if (std::strncmp(full, fullBase, length) != 0) return false;
    if (fullLength == length || (fullLength == length + 1 && full[length] == '\\')) return !isFile;
    return full[length] == '\\';
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 600) return 0;
    const bool isFile = data[0] & 1;
    const std::string relative(reinterpret_cast<const char*>(data + 1), size - 1);
    if (relative.find('\0') != std::string::npos) return 0;
    const char* bases[] = {install::kStandInInstallDir, "D:\\x\\", "C:\\Windows\\System32"};
    const bool inside = install::StaysInside(bases[0], relative.c_str(), isFile);
    for (const char* base : bases) {
        if (install::StaysInside(base, relative.c_str(), isFile) != inside) __builtin_trap();
        if (inside && !ResolvesInside(base, relative, isFile)) __builtin_trap();
    }
    return 0;
}
