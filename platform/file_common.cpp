#include "platform/file.h"

#include <cstring>
#include <utility>

namespace platform {

FileError::FileError(Cause cause, std::string path)
    : cause_(cause),
      path_(std::move(path)),
      message_((cause == Cause::Create ? "cannot create " : "cannot write to ") + path_) {}

RawFile::RawFile(RawFile&& other) noexcept { *this = std::move(other); }

RawFile& RawFile::operator=(RawFile&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
#ifdef _WIN32
        std::swap(handle_, other.handle_);
#else
        std::swap(fd_, other.fd_);
#endif
    }
    return *this;
}

RawFile::~RawFile() { Close(); }

void RawFile::CreateOrThrow(const std::string& path) {
    if (!Create(path)) throw FileError(FileError::Cause::Create, path);
}

bool TextFile::Create(const std::string& path) { return file_.Create(path); }

void TextFile::WriteString(const char* text) {
    // Collect runs without LF and write each with one call, so a long log costs few writes.
    const char* run = text;
    for (const char* p = text;; ++p) {
        if (*p == '\n' || *p == '\0') {
            if (p > run) file_.Write(run, static_cast<size_t>(p - run));
            if (*p == '\0') break;
            file_.Write("\r\n", 2);
            run = p + 1;
        }
    }
}

void TextFile::Close() { file_.Close(); }

}  // namespace platform
