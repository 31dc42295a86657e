#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file.h"
#include "platform/gbk.h"

namespace platform {

namespace {
bool OpenWith(int& fd, ErrorCode& error, const char* path, int flags) {
    if (fd >= 0) ::close(fd);
    fd = ::open(path, flags | O_CLOEXEC, 0644);
    error = fd < 0 ? static_cast<ErrorCode>(errno) : 0;
    return fd >= 0;
}
}  // namespace

bool RawFile::OpenRead(const char* path) { return OpenWith(fd_, error_, path, O_RDONLY); }

bool RawFile::Create(const char* path) {
    return OpenWith(fd_, error_, path, O_RDWR | O_CREAT | O_TRUNC);
}

bool RawFile::CreateNew(const char* path) {
    return OpenWith(fd_, error_, path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW);
}

bool RawFile::OpenWrite(const char* path) { return OpenWith(fd_, error_, path, O_RDWR); }

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

bool PassesWriteHook(size_t count, ErrorCode* error);

bool RawFile::Write(const void* data, size_t count) {
    if (!PassesWriteHook(count, &error_)) return false;
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, static_cast<const char*>(data) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? static_cast<ErrorCode>(errno) : ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool RawFile::Flush() { return fd_ >= 0; }

void RawFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool PathExists(const char* path) {
    struct stat st;
    return ::lstat(path, &st) == 0;
}

bool IsFolder(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const char* path) { return ::unlink(path) == 0; }

bool RemoveSysFile(const char* path) { return ::unlink(path) == 0; }

void SetNormalAttributes(const char* path) {
    struct stat st;
    if (::stat(path, &st) == 0) ::chmod(path, (st.st_mode & 07777) | S_IWUSR);
}

bool CreateFolder(const char* path) { return ::mkdir(path, 0755) == 0; }

bool TempFolder(char* folder, size_t room) {
    const char* dir = std::getenv("TMPDIR");
    if (!dir || !*dir) dir = "/tmp";
    if (!gbk::Copy(folder, room, dir)) return false;
    const size_t length = std::strlen(folder);
    return folder[length - 1] == '/' || gbk::Append(folder, room, "/");
}

bool CreateTempFile(const char* folder, const char* stem, RawFile* file, char* path, size_t room) {
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        char name[96];
        std::snprintf(name, sizeof name, "%.32s-%ld-%u.tmp", stem, static_cast<long>(::getpid()),
                      attempt);
        if (!gbk::Copy(path, room, folder) || !gbk::Append(path, room, name)) return false;
        if (file->CreateNew(path)) return true;
        if (file->error() != EEXIST && file->error() != ELOOP) return false;
    }
    return false;
}

bool MoveIntoPlace(const char* from, const char* to, ErrorCode* error) {
    if (::rename(from, to) == 0) return true;
    if (error) *error = static_cast<ErrorCode>(errno);
    return false;
}

}  // namespace platform
