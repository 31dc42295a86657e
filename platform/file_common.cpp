#include "platform/file.h"

#include <cstring>

#include "platform/gbk.h"
#include "platform/test_hooks.h"

namespace platform {

RawFile::~RawFile() { Close(); }

namespace {
WriteHook g_writeHook = nullptr;
CreateHook g_createHook = nullptr;
ReadHook g_readHook = nullptr;
uint32_t g_pauseForTests = 0;
}  // namespace

void SetPauseForTests(uint32_t milliseconds) { g_pauseForTests = milliseconds; }
uint32_t PauseForTests() { return g_pauseForTests; }

void SetReadHook(ReadHook hook) { g_readHook = hook; }
void BeforeRead(size_t count) {
    if (g_readHook) g_readHook(count);
}

void SetWriteHook(WriteHook hook) { g_writeHook = hook; }
void SetCreateHook(CreateHook hook) { g_createHook = hook; }

bool PassesCreateHook(const char* path, ErrorCode* error) {
    return !g_createHook || g_createHook(path, error);
}

bool PassesWriteHook(size_t count, ErrorCode* error) {
    return !g_writeHook || g_writeHook(count, error);
}

bool CreateSibling(const char* path, char* sibling, size_t room, RawFile* file) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32] = ".sfx-new";
        if (attempt > 0) gbk::FormatDecimal(attempt, suffix + 8);
        if (!gbk::Copy(sibling, room, path) || !gbk::Append(sibling, room, suffix)) return false;
        if (file->CreateNew(sibling)) return true;
        // Another run's leftover or another program's file: never opened, never removed.
        if (PathExists(sibling)) continue;
        return false;
    }
    return false;
}

WholeFile::~WholeFile() {
    if (!sibling_[0]) return;
    // One made in a held folder goes through its handle, wherever its name leads by now.
    if (!(inHeld_ && file_.Discard())) {
        file_.Close();
        RemoveFile(sibling_);
    }
}

bool WholeFile::Begin(const char* path, const ResolvedFolder* within, NewFile newFile) {
    if (!gbk::Copy(path_, sizeof path_, path)) return false;
    old_ = Old::Unknown;
    inHeld_ = false;
    // Anything under the name, even a link or a folder, makes CREATE_NEW fail: only a file of
    // this run's own is ever written in place.
    if (newFile == NewFile::InPlace) {
        if (!file_.CreateNew(path)) return BesideWhenThere(path, within);
        gbk::Copy(sibling_, sizeof sibling_, path);  // as long as path_, which took it
        old_ = Old::Absent;
    } else if (!CreateSibling(path, sibling_, sizeof sibling_, &file_)) {
        error_ = file_.error();
        sibling_[0] = '\0';
        return false;
    }
    if (!within || file_.LiesBelow(*within)) return true;
    file_.Close();
    RemoveFile(sibling_);
    sibling_[0] = '\0';
    error_ = kErrorOutside;
    return false;
}

bool WholeFile::Begin(const char* path, const ResolvedFolder* within, const HeldFolder& folder) {
    if (!folder.held() || !gbk::Copy(path_, sizeof path_, path))
        return Begin(path, within, NewFile::InPlace);
    if (!file_.CreateNewIn(folder, path))
        return file_.error() == kErrorNotInFolder ? Begin(path, within, NewFile::InPlace)
                                                  : BesideWhenThere(path, within);
    gbk::Copy(sibling_, sizeof sibling_, path);
    old_ = Old::Absent;
    inHeld_ = true;
    return true;
}

bool WholeFile::BesideWhenThere(const char* path, const ResolvedFolder* within) {
    if (!PathExists(path)) {
        error_ = file_.error();
        return false;
    }
    const bool begun = Begin(path, within, NewFile::Beside);
    old_ = Old::Present;
    return begun;
}

WholeFile::Result WholeFile::Place(unsigned options) {
    if (old_ == Old::Unknown && (options & (kFlushReplacement | kReplaceReadOnly)))
        old_ = PathExists(path_) ? Old::Present : Old::Absent;
    const bool flush = (options & kFlush) || ((options & kFlushReplacement) && old_ == Old::Present);
    const bool flushed = !flush || file_.Flush();
    if (!flushed) error_ = file_.error();
    file_.Close();
    if (!flushed) return Result::CannotWrite;
    // Written in place: it has its name already.
    if (std::strcmp(sibling_, path_) == 0) {
        sibling_[0] = '\0';
        return Result::Saved;
    }
    if ((options & kReplaceReadOnly) && old_ == Old::Present) SetNormalAttributes(path_);
    if (!MoveIntoPlace(sibling_, path_, &error_)) return Result::CannotReplace;
    sibling_[0] = '\0';
    return Result::Saved;
}

WholeFile::Result WholeFile::Finish(const char* text, size_t size) {
    if (!file_.Write(text, size)) {
        error_ = file_.error();
        return Result::CannotWrite;
    }
    return Place(kFlush | kReplaceReadOnly);
}

bool ReadWholeFile(const char* path, size_t limit, TextBuffer* out, ErrorCode* error) {
    out->Clear();
    RawFile file;
    if (!file.OpenRead(path)) {
        *error = file.error();
        return false;
    }
    const int64_t length = file.Length();
    if (length < 0 || static_cast<uint64_t>(length) > limit) {
        *error = kErrorTooLarge;
        return false;
    }
    char chunk[16 * 1024];
    if (!out->Append("", 0)) {
        *error = kErrorNoMemory;
        return false;
    }
    for (;;) {
        const size_t got = file.Read(chunk, sizeof chunk);
        if (got == 0) return true;
        if (!out->Append(chunk, got)) {
            *error = kErrorNoMemory;
            return false;
        }
        // A file that grows while it is read is no whole file.
        if (out->size() > limit) {
            *error = kErrorTooLarge;
            return false;
        }
    }
}

}  // namespace platform
