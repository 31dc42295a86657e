#include <windows.h>

#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/text_win32.h"

namespace platform {

const ErrorCode kErrorTooLarge = ERROR_FILE_TOO_LARGE;
const ErrorCode kErrorNoMemory = ERROR_NOT_ENOUGH_MEMORY;
const ErrorCode kErrorOutside = ERROR_CANT_RESOLVE_FILENAME;
const ErrorCode kErrorNotInFolder = ERROR_NOT_SAME_DEVICE;

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool OpenWith(void*& handle, ErrorCode& error, const wchar_t* path, DWORD access, DWORD share,
              DWORD disposition) {
    // Close first: reopening the same file must not collide with our own share mode.
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return handle != INVALID_HANDLE_VALUE;
}

// A GBK path that does not fit the conversion is refused rather than opened cut short.
bool OpenGbk(void*& handle, ErrorCode& error, const char* path, DWORD access, DWORD share,
             DWORD disposition) {
    const Wide wide(path);
    if (!wide.ok()) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    return OpenWith(handle, error, wide.c_str(), access, share, disposition);
}

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
}  // namespace

bool PassesCreateHook(const char* path, ErrorCode* error);

bool RawFile::OpenRead(const char* path) {
    return OpenGbk(handle_, error_, path, GENERIC_READ, kShareAll, OPEN_EXISTING);
}
bool RawFile::Create(const char* path) {
    Close();
    if (!PassesCreateHook(path, &error_)) return false;
    return OpenGbk(handle_, error_, path, kReadWrite, FILE_SHARE_READ, CREATE_ALWAYS);
}
bool RawFile::CreateNew(const char* path) {
    Close();
    if (!PassesCreateHook(path, &error_)) return false;
    return OpenGbk(handle_, error_, path, kReadWrite, FILE_SHARE_READ, CREATE_NEW);
}
namespace {
// NtCreateFile, for a name relative to a folder's handle (CreateFileW takes whole paths only).
// ntdll is in every process already: found by its module, never looked for on a path.
using NtCreateFileCall = LONG(WINAPI*)(HANDLE*, ACCESS_MASK, void*, void*, LARGE_INTEGER*, ULONG,
                                       ULONG, ULONG, ULONG, void*, ULONG);
using StatusToErrorCall = ULONG(WINAPI*)(LONG);

struct CountedName {  // UNICODE_STRING
    USHORT length;
    USHORT room;
    const wchar_t* text;
};
struct NameAttributes {  // OBJECT_ATTRIBUTES
    ULONG size;
    HANDLE root;
    CountedName* name;
    ULONG flags;
    void* security;
    void* quality;
};
struct IoStatus {  // IO_STATUS_BLOCK
    ULONG_PTR status;
    ULONG_PTR information;
};
constexpr ULONG kCaseInsensitive = 0x40;        // OBJ_CASE_INSENSITIVE
constexpr ULONG kCreate = 2;                    // FILE_CREATE: fails when the name is taken
constexpr ULONG kNonDirectory = 0x40;           // FILE_NON_DIRECTORY_FILE
constexpr ULONG kSynchronous = 0x20;            // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kOpenReparsePoint = 0x200000;   // FILE_OPEN_REPARSE_POINT
}  // namespace

bool RawFile::CreateNewIn(const HeldFolder& folder, const char* path) {
    Close();
    if (!PassesCreateHook(path, &error_)) return false;
    // Looked up each time: a few microseconds, where statics would cost every stub room.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto create = reinterpret_cast<NtCreateFileCall>(GetProcAddress(ntdll, "NtCreateFile"));
    const auto toError =
        reinterpret_cast<StatusToErrorCall>(GetProcAddress(ntdll, "RtlNtStatusToDosError"));
    const size_t split = gbk::LastBackslash(path);
    const Wide name(split == gbk::kNotFound ? path : path + split + 1);
    if (!create || !toError || !name.ok()) {
        error_ = ERROR_INVALID_FUNCTION;
        return false;
    }
    CountedName counted = {static_cast<USHORT>(lstrlenW(name.c_str()) * sizeof(wchar_t)), 0,
                           name.c_str()};
    counted.room = counted.length;
    NameAttributes attributes = {sizeof attributes, folder.handle_, &counted, kCaseInsensitive,
                                 nullptr, nullptr};
    IoStatus io = {};
    HANDLE created = INVALID_HANDLE_VALUE;
    const LONG status =
        create(&created, kReadWrite | DELETE | SYNCHRONIZE, &attributes, &io, nullptr,
               FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, kCreate,
               kNonDirectory | kSynchronous | kOpenReparsePoint, nullptr, 0);
    if (status < 0) {
        error_ = toError(status);
        return false;
    }
    handle_ = created;
    error_ = 0;
    return true;
}

namespace {
// One call of the system's function for every use: each call of an imported function costs the
// programs a relocation, and the uninstaller has no room to spare.
__attribute__((noinline)) bool SetInformation(HANDLE handle, FILE_INFO_BY_HANDLE_CLASS kind,
                                              void* information, DWORD size) {
    return SetFileInformationByHandle(handle, kind, information, size) != FALSE;
}

bool DeleteOnClose(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetInformation(handle, FileDispositionInfo, &disposition, sizeof disposition);
}
}  // namespace

bool RawFile::Discard() {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    const bool marked = DeleteOnClose(handle_);
    Close();
    return marked;
}

bool HeldFolder::held() const { return handle_ != INVALID_HANDLE_VALUE; }

void HeldFolder::Release() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool RawFile::OpenWrite(const char* path) {
    return OpenGbk(handle_, error_, path, kReadWrite, FILE_SHARE_READ, OPEN_EXISTING);
}
bool RawFile::OpenReadLocked(const wchar_t* path) {
    return OpenWith(handle_, error_, path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}
bool RawFile::OpenRead(const wchar_t* path) {
    return OpenWith(handle_, error_, path, GENERIC_READ, kShareAll, OPEN_EXISTING);
}
bool RawFile::Create(const wchar_t* path) {
    return OpenWith(handle_, error_, path, kReadWrite, FILE_SHARE_READ, CREATE_ALWAYS);
}
bool RawFile::CreateNew(const wchar_t* path) {
    return OpenWith(handle_, error_, path, kReadWrite, FILE_SHARE_READ, CREATE_NEW);
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

void BeforeRead(size_t count);

size_t RawFile::Read(void* buffer, size_t count) {
    BeforeRead(count);
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

bool PassesWriteHook(size_t count, ErrorCode* error);

bool RawFile::Write(const void* data, size_t count) {
    if (!PassesWriteHook(count, &error_)) return false;
    size_t done = 0;
    while (done < count) {
        DWORD chunk = count - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count - done);
        DWORD put = 0;
        if (!WriteFile(handle_, static_cast<const char*>(data) + done, chunk, &put, nullptr) ||
            put == 0) {
            error_ = GetLastError();
            if (error_ == 0) error_ = ERROR_DISK_FULL;
            return false;
        }
        done += put;
    }
    return true;
}

namespace {
// The path the system gives the open handle, links and junctions resolved ("\\?\C:\...").
bool FinalPath(HANDLE handle, wchar_t* path, DWORD room) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, path, room, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    return length > 0 && length < room;
}
}  // namespace

namespace {
// No access but attributes: any file or folder can be opened so, whatever else holds it open.
HANDLE OpenForPath(const char* path) {
    const Wide wide(path);
    if (!wide.ok()) return INVALID_HANDLE_VALUE;
    return CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool HandleLiesBelow(HANDLE own, const ResolvedFolder& folder, bool orIs = false) {
    const wchar_t* basePath = folder.Resolved();
    wchar_t ownPath[kPathRoom];
    if (!basePath || !FinalPath(own, ownPath, kPathRoom)) return false;
    int length = lstrlenW(basePath);
    if (length > 0 && basePath[length - 1] == L'\\') --length;  // a drive's root
    const int ownLength = lstrlenW(ownPath);
    const bool same = ownLength == length || (ownLength == length + 1 && ownPath[length] == L'\\');
    return ((orIs && same) || (ownLength > length + 1 && ownPath[length] == L'\\')) &&
           CompareStringOrdinal(ownPath, length, basePath, length, TRUE) == CSTR_EQUAL;
}
}  // namespace

const wchar_t* ResolvedFolder::Resolved() const {
    if (resolved_[0]) return resolved_;
    HANDLE base = OpenForPath(folder_);
    if (base == INVALID_HANDLE_VALUE) return nullptr;
    const bool found = FinalPath(base, resolved_, kPathRoom);
    CloseHandle(base);
    if (found) return resolved_;
    resolved_[0] = L'\0';
    return nullptr;
}

bool HeldFolder::Hold(const char* folder, const ResolvedFolder& base) {
    Release();
    const Wide wide(folder);
    if (!wide.ok()) return false;
    // Others may read and write in it, never rename or delete it while it is held.
    HANDLE handle = CreateFileW(wide.c_str(),
                                FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_TRAVERSE |
                                    FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    if (!HandleLiesBelow(handle, base, true)) {
        CloseHandle(handle);
        return false;
    }
    handle_ = handle;
    return true;
}

bool RawFile::LiesBelow(const ResolvedFolder& folder) const {
    return handle_ != INVALID_HANDLE_VALUE && HandleLiesBelow(handle_, folder);
}

bool FolderLiesBelow(const char* folder, const ResolvedFolder& base) {
    HANDLE own = OpenForPath(folder);
    if (own == INVALID_HANDLE_VALUE) return false;
    const bool below = HandleLiesBelow(own, base);
    CloseHandle(own);
    return below;
}

bool RemoveThroughHandle(const char* path, bool folder, const ResolvedFolder& base,
                         ErrorCode* error) {
    const Wide wide(path);
    if (!wide.ok()) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    HANDLE handle = CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    FILE_BASIC_INFO basic = {};
    bool removed = false;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
        *error = GetLastError();
    } else if ((basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
               ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) {
        *error = folder ? ERROR_DIRECTORY : ERROR_ACCESS_DENIED;
    } else if (!HandleLiesBelow(handle, base)) {
        *error = kErrorOutside;
    } else {
        constexpr DWORD kInTheWay =
            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        const DWORD attributes = basic.FileAttributes;
        if (attributes & kInTheWay) {
            // Times of 0 stay as they are; attributes of 0 would too, hence NORMAL for none.
            FILE_BASIC_INFO plain = {};
            plain.FileAttributes = attributes & ~kInTheWay;
            if (plain.FileAttributes == 0) plain.FileAttributes = FILE_ATTRIBUTE_NORMAL;
            SetInformation(handle, FileBasicInfo, &plain, sizeof plain);
        }
        removed = DeleteOnClose(handle);
        if (!removed) {
            *error = GetLastError();
            if (attributes & kInTheWay) SetInformation(handle, FileBasicInfo, &basic, sizeof basic);
        }
    }
    CloseHandle(handle);
    return removed;
}

bool RawFile::Flush() {
    if (!IsOpen()) return false;
    if (FlushFileBuffers(handle_)) return true;
    error_ = GetLastError();
    return false;
}

void RawFile::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool PathExists(const char* path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const char* path) { return DeleteFileW(Wide(path).c_str()) != 0; }

bool RemoveSysFile(const wchar_t* path) { return DeleteFileW(path) != 0; }

void SetNormalAttributes(const char* path) {
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool CreateFolder(const char* path) {
    const Wide wide(path);
    return wide.ok() && CreateDirectoryW(wide.c_str(), nullptr) != 0;
}

bool TempFolder(wchar_t* folder, size_t room) {
    if (room < 2) return false;
    DWORD length = GetTempPathW(static_cast<DWORD>(room), folder);
    if (length == 0 || length >= room - 1) return false;
    if (folder[length - 1] != L'\\') {
        folder[length++] = L'\\';
        folder[length] = L'\0';
    }
    return true;
}

bool CreateTempFile(const wchar_t* folder, const char* stem, RawFile* file, wchar_t* path,
                    size_t room) {
    const DWORD process = GetCurrentProcessId();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        char name[96];
        size_t at = 0;
        for (; stem[at] && at < 32; ++at) name[at] = stem[at];
        name[at++] = '-';
        at += gbk::FormatDecimal(process, name + at);
        name[at++] = '-';
        at += gbk::FormatDecimal(attempt, name + at);
        gbk::Copy(name + at, sizeof name - at, ".tmp");

        size_t length = 0;
        while (folder[length]) ++length;
        if (length + at + 5 >= room) return false;
        for (size_t i = 0; i < length; ++i) path[i] = folder[i];
        for (size_t i = 0; name[i]; ++i) path[length++] = static_cast<wchar_t>(name[i]);
        path[length] = L'\0';
        if (file->CreateNew(path)) return true;
        // Taken by a file or a folder of someone else's: try the next name, touch nothing.
        if (file->error() != ERROR_FILE_EXISTS && file->error() != ERROR_ALREADY_EXISTS &&
            file->error() != ERROR_ACCESS_DENIED)
            return false;
    }
    return false;
}

bool FullPath(const char* path, char* full, size_t room) {
    const bool drive = path[0] != '\0' && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    if (!drive && path[0] != '\\' && path[0] != '/') return false;
    const Wide wide(path);
    if (!wide.ok()) return false;
    wchar_t resolved[kPathRoom];
    const DWORD length = GetFullPathNameW(wide.c_str(), kPathRoom, resolved, nullptr);
    return length > 0 && length < kPathRoom && Narrow(resolved, full, room);
}

bool MoveIntoPlace(const char* from, const char* to, ErrorCode* error) {
    const Wide source(from);
    const Wide target(to);
    ErrorCode failure = ERROR_FILENAME_EXCED_RANGE;
    if (source.ok() && target.ok()) {
        // Windows never replaces a read-only file; Wine run as root does. Refused here on
        // both, so the installer leaves such a file alone wherever it runs.
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            failure = ERROR_ACCESS_DENIED;
        else if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            return true;
        else
            failure = GetLastError();
    }
    if (error) *error = failure;
    return false;
}

}  // namespace platform
