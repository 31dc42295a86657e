#include "tools/package_reader.h"

#include <cstring>

#include "package/settings_loader.h"
#include "platform/file.h"

namespace sfxpack {

bool OpenPackage(const std::string& path, package::SetupModel* model,
                 package::PackageTrailer* trailer, std::string* error) {
    if (!platform::PathExists(path.c_str()) || platform::IsFolder(path.c_str())) {
        *error = path + ": no such file";
        return false;
    }
    if (!package::ReadTrailer(path.c_str(), trailer)) {
        *error = path + ": not a package (no trailer \"&LEN:...,SEEK:....\" in its last " +
                 std::to_string(package::kTrailerWindow) + " bytes)";
        return false;
    }
    char temp[platform::kPathRoom];
    if (!platform::TempFolder(temp, sizeof temp)) {
        *error = "no temporary folder ($TMPDIR names one too long)";
        return false;
    }
    if (path.size() >= sizeof model->exePath) {
        *error = path + ": the path is too long";
        return false;
    }
    std::memcpy(model->exePath, path.c_str(), path.size() + 1);
    switch (package::LoadSettings(path.c_str(), temp, model)) {
        case package::LoadResult::Loaded: return true;
        case package::LoadResult::NoTrailer: *error = path + ": not a package (no trailer)"; break;
        case package::LoadResult::BadTrailer:
            *error = path + ": damaged trailer (settings block of " +
                     std::to_string(trailer->length) + " bytes at offset " +
                     std::to_string(trailer->offset) + " does not lie before the trailer at " +
                     std::to_string(trailer->trailerOffset) + ")";
            break;
        case package::LoadResult::CannotExtract:
            *error = path + ": cannot extract the settings block (through a temporary file in " +
                     temp + ")";
            break;
        case package::LoadResult::NoMemory:
            *error = path + ": the settings block lists more files than memory holds";
            break;
    }
    return false;
}

}  // namespace sfxpack
