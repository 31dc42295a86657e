#include "tools/package_reader.h"

#include <unistd.h>

#include <cstdlib>

#include "package/settings_loader.h"
#include "platform/file.h"

namespace sfxpack {

bool OpenPackage(const std::string& path, package::SetupModel* model,
                 package::PackageTrailer* trailer, std::string* error) {
    if (!platform::PathExists(path) || platform::IsFolder(path)) {
        *error = path + ": no such file";
        return false;
    }
    if (!package::ReadTrailer(path, trailer)) {
        *error = path + ": not a package (no trailer \"&LEN:...,SEEK:....\" in its last " +
                 std::to_string(package::kTrailerWindow) + " bytes)";
        return false;
    }
    // A name of our own, so that two runs never share the installer's fixed temporary name.
    std::string temp = platform::TempFolder() + "sfxpack-XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        *error = "cannot create a temporary file in " + platform::TempFolder();
        return false;
    }
    close(fd);
    model->exePath = path;
    switch (package::LoadSettings(path, temp, model)) {
        case package::LoadResult::Loaded: return true;
        case package::LoadResult::NoTrailer: *error = path + ": not a package (no trailer)"; break;
        case package::LoadResult::BadTrailer:
            *error = path + ": damaged trailer (settings block of " +
                     std::to_string(trailer->length) + " bytes at offset " +
                     std::to_string(trailer->offset) + " does not lie before the trailer at " +
                     std::to_string(trailer->trailerOffset) + ")";
            break;
        case package::LoadResult::CannotExtract:
            *error = path + ": cannot extract the settings block";
            break;
    }
    platform::RemoveFile(temp);
    return false;
}

}  // namespace sfxpack
