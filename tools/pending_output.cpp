#include "tools/pending_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace sfxpack {

namespace {
// The new file being written, for the signal handler to remove. One at a time: the tool writes
// its outputs one after the other.
char gTempPath[platform::kPathRoom];

void RemoveTempAndDie(int signal) {
    if (gTempPath[0]) ::unlink(gTempPath);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void ReleaseSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    gTempPath[0] = 0;
}

std::string Reason(platform::ErrorCode error) {
    return error ? std::strerror(static_cast<int>(error)) : "the path is too long";
}
}  // namespace

bool SameFile(const struct stat& a, const std::string& path) {
    struct stat b;
    return ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool PendingOutput::Create(const std::string& outputPath, std::string* error) {
    if (!whole_.Begin(outputPath.c_str())) {
        const size_t slash = outputPath.rfind('/');
        const std::string folder =
            slash == std::string::npos ? "." : outputPath.substr(0, slash + 1);
        *error = "cannot create a file in " + folder + " (" + Reason(whole_.error()) + ")";
        return false;
    }
    std::strcpy(gTempPath, whole_.sibling());
    std::signal(SIGINT, RemoveTempAndDie);
    std::signal(SIGTERM, RemoveTempAndDie);
    std::signal(SIGHUP, RemoveTempAndDie);
    return true;
}

PendingOutput::~PendingOutput() {
    if (whole_.sibling()[0]) ReleaseSignals();
}

bool PendingOutput::Commit(const std::string& outputPath, mode_t mode, std::string* error) {
    const mode_t umaskValue = ::umask(0);
    ::umask(umaskValue);
    ::chmod(whole_.sibling(), mode & ~umaskValue);
    if (whole_.Place(0) != platform::WholeFile::Result::Saved) {
        *error = "cannot rename the finished file to " + outputPath + " (" +
                 Reason(whole_.error()) + ")";
        return false;
    }
    ReleaseSignals();
    return true;
}

}  // namespace sfxpack
