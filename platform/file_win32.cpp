#include <windows.h>

#include "platform/file.h"
#include "platform/text_win32.h"

namespace platform {

namespace {
bool OpenWith(void*& handle, std::string& stored, const std::string& path, DWORD access,
              DWORD share, DWORD disposition) {
    // Close first: reopening the same file must not collide with our own share mode.
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = CreateFileW(Widen(path).c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    stored = path;
    return true;
}
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

bool RawFile::OpenRead(const std::string& path) {
    return OpenWith(handle_, path_, path, GENERIC_READ, kShareAll, OPEN_EXISTING);
}

bool RawFile::Create(const std::string& path) {
    return OpenWith(handle_, path_, path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    CREATE_ALWAYS);
}

bool RawFile::OpenWrite(const std::string& path) {
    return OpenWith(handle_, path_, path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    OPEN_EXISTING);
}

bool RawFile::IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

int64_t RawFile::Seek(int64_t offset, Origin origin) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    DWORD method = origin == Origin::Begin     ? FILE_BEGIN
                   : origin == Origin::Current ? FILE_CURRENT
                                               : FILE_END;
    if (!SetFilePointerEx(handle_, distance, &result, method)) return -1;
    return result.QuadPart;
}

int64_t RawFile::Length() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) return 0;
    return size.QuadPart;
}

int64_t RawFile::Position() const {
    LARGE_INTEGER zero, result;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(handle_, zero, &result, FILE_CURRENT)) return 0;
    return result.QuadPart;
}

size_t RawFile::Read(void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD chunk = count - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count - done);
        DWORD got = 0;
        if (!ReadFile(handle_, static_cast<char*>(buffer) + done, chunk, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    return done;
}

void RawFile::Write(const void* data, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD chunk = count - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count - done);
        DWORD put = 0;
        if (!WriteFile(handle_, static_cast<const char*>(data) + done, chunk, &put, nullptr) ||
            put == 0)
            throw FileError(FileError::Cause::Write, path_);
        done += put;
    }
}

void RawFile::Flush() {
    if (IsOpen()) FlushFileBuffers(handle_);
}

void RawFile::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

void SetNormalAttributes(const std::string& path) {
    SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool CreateFolder(const std::string& path) {
    return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

std::string TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return std::string();
    std::string folder = Narrow(buffer);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

char PathSeparator() { return '\\'; }

}  // namespace platform
