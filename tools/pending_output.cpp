#include "tools/pending_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <random>

namespace sfxpack {

namespace {
// The temporary file being written, for the signal handler to remove. One at a time: the tool
// writes its outputs one after the other.
char gTempPath[4096];

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
}  // namespace

bool PendingOutput::Create(const std::string& outputPath, platform::RawFile* file,
                           std::string* error) {
    const size_t slash = outputPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : outputPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? outputPath : outputPath.substr(slash + 1);
    if (folder.size() + name.size() + 16 >= sizeof gTempPath) {
        *error = outputPath + ": the path is too long";
        return false;
    }
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // Seeded once: a random device is slow to open, and an extraction makes thousands of files.
    static std::mt19937 random{std::random_device{}()};
    for (int attempt = 0;; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 6; ++i) suffix += kLetters[random() % (sizeof kLetters - 1)];
        path_ = folder + "." + name + ".sfxpack-" + suffix;
        if (file->CreateNew(path_.c_str())) break;
        if (file->error() != EEXIST || attempt == 100) {
            *error = "cannot create a file in " + (folder.empty() ? std::string(".") : folder) +
                     " (" + std::strerror(static_cast<int>(file->error())) + ")";
            path_.clear();
            return false;
        }
    }
    std::memcpy(gTempPath, path_.c_str(), path_.size() + 1);
    std::signal(SIGINT, RemoveTempAndDie);
    std::signal(SIGTERM, RemoveTempAndDie);
    std::signal(SIGHUP, RemoveTempAndDie);
    return true;
}

PendingOutput::~PendingOutput() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
        ReleaseSignals();
    }
}

bool PendingOutput::Commit(const std::string& outputPath, mode_t mode, std::string* error) {
    const mode_t umaskValue = ::umask(0);
    ::umask(umaskValue);
    ::chmod(path_.c_str(), mode & ~umaskValue);
    platform::ErrorCode reason = 0;
    if (!platform::MoveIntoPlace(path_.c_str(), outputPath.c_str(), &reason)) {
        *error = "cannot rename the finished file to " + outputPath + " (" +
                 std::strerror(static_cast<int>(reason)) + ")";
        return false;
    }
    path_.clear();
    ReleaseSignals();
    return true;
}

}  // namespace sfxpack
