#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

#include "platform/file.h"

namespace platform {

namespace {
bool OpenWith(int& fd, std::string& stored, const std::string& path, int flags) {
    if (fd >= 0) ::close(fd);
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    stored = path;
    return true;
}
}  // namespace

bool RawFile::OpenRead(const std::string& path) { return OpenWith(fd_, path_, path, O_RDONLY); }

bool RawFile::Create(const std::string& path) {
    return OpenWith(fd_, path_, path, O_RDWR | O_CREAT | O_TRUNC);
}

bool RawFile::OpenWrite(const std::string& path) { return OpenWith(fd_, path_, path, O_RDWR); }

bool RawFile::IsOpen() const { return fd_ >= 0; }

int64_t RawFile::Seek(int64_t offset, Origin origin) {
    int whence = origin == Origin::Begin     ? SEEK_SET
                 : origin == Origin::Current ? SEEK_CUR
                                             : SEEK_END;
    off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return result < 0 ? -1 : static_cast<int64_t>(result);
}

int64_t RawFile::Length() const {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return static_cast<int64_t>(st.st_size);
}

int64_t RawFile::Position() const {
    off_t result = ::lseek(fd_, 0, SEEK_CUR);
    return result < 0 ? 0 : static_cast<int64_t>(result);
}

size_t RawFile::Read(void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void RawFile::Write(const void* data, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, static_cast<const char*>(data) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw FileError(FileError::Cause::Write, path_);
        done += static_cast<size_t>(n);
    }
}

void RawFile::Flush() {}

void RawFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool PathExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void SetNormalAttributes(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

std::string TempFolder() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir && *dir ? dir : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

char PathSeparator() { return '/'; }

}  // namespace platform
