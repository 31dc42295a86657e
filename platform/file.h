// Raw and text files, file status and folders: the few file services the installer, the
// uninstaller writer and the publisher's tool rely on. Paths are GBK byte strings; the Win32
// backend hands them to the W APIs through code page 936, the POSIX backend uses them as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace platform {

// Raised when a file cannot be created or a write fails (a full disk). Everything else that can
// fail reports through a flag, so callers only need a handler where data is being produced.
class FileError : public std::exception {
public:
    enum class Cause { Create, Write };
    FileError(Cause cause, std::string path);
    const char* what() const noexcept override { return message_.c_str(); }
    Cause cause() const { return cause_; }
    const std::string& path() const { return path_; }

private:
    Cause cause_;
    std::string path_;
    std::string message_;
};

class RawFile {
public:
    enum class Origin { Begin, Current, End };

    RawFile() = default;
    ~RawFile();
    RawFile(RawFile&& other) noexcept;
    RawFile& operator=(RawFile&& other) noexcept;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // Opens for reading; other readers and writers stay allowed.
    bool OpenRead(const std::string& path);
    // Creates for writing, truncating an existing file.
    bool Create(const std::string& path);
    // As Create, but raises FileError(Create) instead of reporting.
    void CreateOrThrow(const std::string& path);
    // Opens an existing file for writing without truncating it.
    bool OpenWrite(const std::string& path);

    bool IsOpen() const;
    // Returns the new position, or -1 when the seek was refused (before the start of the file).
    int64_t Seek(int64_t offset, Origin origin);
    int64_t Length() const;
    int64_t Position() const;
    // Reads up to `count` bytes and returns how many were read (0 at the end or on failure).
    size_t Read(void* buffer, size_t count);
    // Writes all `count` bytes or raises FileError(Write).
    void Write(const void* data, size_t count);
    void Flush();
    void Close();

private:
    std::string path_;
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(-1);
#else
    int fd_ = -1;
#endif
};

// A text file written in the platform's text mode: every LF becomes CR LF.
class TextFile {
public:
    bool Create(const std::string& path);
    // Raises FileError(Write) when the write fails.
    void WriteString(const char* text);
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }

private:
    RawFile file_;
};

bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// Clears read-only and similar attributes so that the file can be replaced or deleted.
void SetNormalAttributes(const std::string& path);
// Creates one folder level; true when it was created.
bool CreateFolder(const std::string& path);
// The user's temporary folder, ending with its separator.
std::string TempFolder();
// The separator that ends folder names on this platform.
char PathSeparator();

}  // namespace platform
