#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/file.h"
#include "platform/gbk.h"

namespace platform {

const ErrorCode kErrorTooLarge = EFBIG;
const ErrorCode kErrorNoMemory = ENOMEM;
const ErrorCode kErrorOutside = ELOOP;
const ErrorCode kErrorNotInFolder = EXDEV;

namespace {
bool OpenWith(int& fd, ErrorCode& error, const char* path, int flags) {
    if (fd >= 0) ::close(fd);
    fd = ::open(path, flags | O_CLOEXEC, 0644);
    error = fd < 0 ? static_cast<ErrorCode>(errno) : 0;
    return fd >= 0;
}
}  // namespace

bool RawFile::OpenRead(const char* path) { return OpenWith(fd_, error_, path, O_RDONLY); }
// POSIX has no share modes; the installer that needs the lock runs on Windows.
bool RawFile::OpenReadLocked(const char* path) { return OpenRead(path); }

bool PassesCreateHook(const char* path, ErrorCode* error);

bool RawFile::Create(const char* path) {
    Close();
    if (!PassesCreateHook(path, &error_)) return false;
    return OpenWith(fd_, error_, path, O_RDWR | O_CREAT | O_TRUNC);
}

bool RawFile::CreateNew(const char* path) {
    Close();
    if (!PassesCreateHook(path, &error_)) return false;
    return OpenWith(fd_, error_, path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW);
}

bool RawFile::CreateNewIn(const HeldFolder& folder, const char* path) {
    Close();
    if (!PassesCreateHook(path, &error_)) return false;
    // The installer names a file's folder up to its last backslash, which on this host is part
    // of a name: the held folder is this file's only when it is the folder up to the last '/'.
    const char* slash = std::strrchr(path, '/');
    const std::string parent = slash ? std::string(path, slash == path ? 1 : slash - path) : ".";
    struct stat own, held;
    if (::stat(parent.c_str(), &own) != 0 || ::fstat(folder.fd_, &held) != 0 ||
        own.st_dev != held.st_dev || own.st_ino != held.st_ino) {
        error_ = kErrorNotInFolder;
        return false;
    }
    fd_ = ::openat(folder.fd_, slash ? slash + 1 : path,
                   O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    error_ = fd_ < 0 ? static_cast<ErrorCode>(errno) : 0;
    return fd_ >= 0;
}

bool RawFile::Discard() {
    Close();
    return false;
}

bool HeldFolder::held() const { return fd_ >= 0; }

void HeldFolder::Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
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

namespace {
// The path the system gives the open descriptor, links resolved.
bool FinalPath(int fd, char* path, size_t room) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, path, room - 1);
    if (length <= 0 || static_cast<size_t>(length) >= room - 1) return false;
    path[length] = '\0';
    return true;
}

bool DescriptorLiesBelow(int fd, const ResolvedFolder& folder, bool orIs = false) {
    const char* prefix = folder.Resolved();
    char ownPath[kPathRoom];
    if (!prefix || fd < 0 || !FinalPath(fd, ownPath, sizeof ownPath)) return false;
    const size_t length = std::strlen(prefix);
    const size_t ownLength = std::strlen(ownPath);
    // The prefix ends with its separator; the folder itself lacks it.
    if (orIs && ownLength + 1 == length && std::strncmp(ownPath, prefix, ownLength) == 0)
        return true;
    return ownLength > length && std::strncmp(ownPath, prefix, length) == 0;
}
}  // namespace

// Ends with a separator, so that a plain prefix test tells what lies below it.
const char* ResolvedFolder::Resolved() const {
    if (resolved_[0]) return resolved_;
    // The folder through a handle. Where it is no folder here, its part up to the last '/', and
    // what follows as written: the host keeps the installer's backslashes in names, so "inst\\"
    // is part of a name.
    const char* rest = nullptr;
    int base = ::open(folder_, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (base < 0) {
        const char* slash = std::strrchr(folder_, '/');
        rest = slash ? slash + 1 : folder_;
        const std::string parent =
            slash ? std::string(folder_, slash == folder_ ? 1 : slash - folder_) : ".";
        base = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (base < 0) return nullptr;
    char basePath[kPathRoom];
    const bool found = FinalPath(base, basePath, sizeof basePath);
    ::close(base);
    if (!found) return nullptr;
    std::string prefix = basePath;
    if (prefix.back() != '/') prefix += '/';
    if (rest) prefix += rest;
    if (prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
    if (prefix.size() >= kPathRoom) return nullptr;
    std::memcpy(resolved_, prefix.c_str(), prefix.size() + 1);
    return resolved_;
}

bool RawFile::LiesBelow(const ResolvedFolder& folder) const {
    return DescriptorLiesBelow(fd_, folder);
}

bool HeldFolder::Hold(const char* folder, const ResolvedFolder& base) {
    Release();
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    if (!DescriptorLiesBelow(fd, base, true)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool FolderLiesBelow(const char* folder, const ResolvedFolder& base) {
    const int own = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool below = DescriptorLiesBelow(own, base);
    if (own >= 0) ::close(own);
    return below;
}

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

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A name that Windows takes for a device wherever it stands: CON, PRN, AUX, NUL, COM1 to COM9,
// LPT1 to LPT9, in any case, whatever follows a dot or a colon, with trailing spaces.
constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL"};

size_t DeviceNameLength(const char* name, size_t length) {
    size_t end = 0;
    while (end < length && name[end] != '.' && name[end] != ':') ++end;
    while (end > 0 && name[end - 1] == ' ') --end;
    char upper[4];
    if (end != 3 && end != 4) return 0;
    for (size_t i = 0; i < 3; ++i)
        upper[i] = static_cast<char>(name[i] >= 'a' && name[i] <= 'z' ? name[i] - 32 : name[i]);
    upper[3] = '\0';
    if (end == 3)
        for (const char* device : kDevices)
            if (std::strcmp(upper, device) == 0) return 3;
    if (end == 4 && name[3] >= '1' && name[3] <= '9' &&
        (std::strcmp(upper, "COM") == 0 || std::strcmp(upper, "LPT") == 0))
        return 4;
    return 0;
}
}  // namespace

// Wine's rules, which are Windows' for every path the installer builds: separators of either
// kind, runs of them as one, "." dropped, ".." taking the name before it away (never the root),
// the last dot of a folder's name dropped, trailing dots and spaces of the last name dropped, and
// a last name that is a device name standing for the device.
bool FullPath(const char* path, char* full, size_t room) {
    char out[kPathRoom];
    size_t used = 0;
    size_t at = 0;
    if (path[0] != '\0' && path[1] == ':' && IsSeparator(path[2])) {
        out[used++] = path[0];
        out[used++] = ':';
        at = 3;
    } else if (!IsSeparator(path[0])) {
        return false;
    }
    // The root's own separator is the one every name is appended after; `starts` holds where
    // each name kept so far begins (a trail byte may be 0x5C: no search back for separators).
    out[used++] = '\\';
    const size_t root = used;
    size_t starts[kPathRoom / 2];
    size_t depth = 0;
    const char* lastName = "";
    size_t lastLength = 0;
    while (path[at] != '\0') {
        if (IsSeparator(path[at])) {
            ++at;
            continue;
        }
        const char* name = path + at;
        while (path[at] != '\0' && !IsSeparator(path[at])) at += gbk::CharWidth(path + at);
        size_t length = static_cast<size_t>(path + at - name);
        const bool last = path[at] == '\0';
        if (last) {
            lastName = name;
            lastLength = length;
        }
        if (length == 1 && name[0] == '.') continue;
        if (length == 2 && name[0] == '.' && name[1] == '.') {
            if (depth > 0) used = starts[--depth];
            continue;
        }
        if (last) {
            while (length > 0 && (name[length - 1] == '.' || name[length - 1] == ' ')) --length;
        } else if (name[length - 1] == '.') {
            --length;
        }
        if (length == 0) continue;
        if (used + length + 1 >= sizeof out) return false;
        starts[depth++] = used;
        if (used > root) out[used++] = '\\';
        std::memcpy(out + used, name, length);
        used += length;
    }
    out[used] = '\0';
    const size_t device = DeviceNameLength(lastName, lastLength);
    if (device > 0) {
        char name[8] = {};
        std::memcpy(name, lastName, device);
        return gbk::Copy(full, room, "\\\\.\\") && gbk::Append(full, room, name);
    }
    return gbk::Copy(full, room, out);
}

bool MoveIntoPlace(const char* from, const char* to, ErrorCode* error) {
    if (::rename(from, to) == 0) return true;
    if (error) *error = static_cast<ErrorCode>(errno);
    return false;
}

}  // namespace platform
