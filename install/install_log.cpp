#include "install/install_log.h"

#include <cstdlib>
#include <cstring>

#include "package/install_records.h"
#include "package/windows_case.h"
#include "platform/gbk.h"

namespace install {

void BeginInstallLog(const BaseFolders& folders, package::SetupModel& model,
                     platform::TextBuffer* log) {
    package::BeginLogSection(package::LogSection::Files, log);
    package::FileList& files = model.fileList;
    for (int32_t i = 0; i < files.count; ++i) {
        char path[platform::kPathRoom];
        // A path that does not fit is listed as far as it goes: a line too few would shift
        // nothing, but the uninstaller refuses paths outside the folder anyway.
        DestinationPath(folders, files, i, false, path, sizeof path);
        package::AppendLogLine(path, log);
    }
    package::BeginLogSection(package::LogSection::Types, log);
    for (const package::FileTypeEntry& type : model.fileTypes)
        if (type.extension[0]) package::AppendLogLine(type.extension, log);
    package::BeginLogSection(package::LogSection::Links, log);
}

void CreateShortcuts(const BaseFolders& folders, package::SetupModel& model,
                     const ShortcutChoice& choice, ShortcutSystem& shell,
                     platform::TextBuffer* log) {
    static constexpr int32_t kKinds[] = {package::kShortcutDesktop, package::kShortcutStartMenu,
                                         package::kShortcutProgramGroup};
    bool groupMade = false;
    package::FileList& files = model.fileList;
    for (int32_t i = 0; i < files.count; ++i) {
        files.SeekTo(i);
        const package::FileEntry* entry = files.Current();
        if (!entry) break;
        for (int32_t kind : kKinds) {
            const bool wanted = kind == package::kShortcutDesktop     ? choice.desktop
                                : kind == package::kShortcutStartMenu ? choice.startMenu
                                                                      : choice.programGroup;
            if (!wanted || !(entry->shortcutFlags & kind)) continue;
            if (kind == package::kShortcutProgramGroup && !groupMade) {
                groupMade = true;
                char uninstaller[platform::kPathRoom];
                if (gbk::Copy(uninstaller, sizeof uninstaller, folders.pageInstallDir) &&
                    (gbk::EndsWithBackslash(uninstaller) ||
                     gbk::Append(uninstaller, sizeof uninstaller, "\\")) &&
                    gbk::Append(uninstaller, sizeof uninstaller, package::kUninstallerName))
                    shell.CreateGroup(uninstaller);
            }
            char name[package::kNameRoom + 4];
            char target[platform::kPathRoom];
            char logged[platform::kPathRoom] = {};
            if (!package::LinkName(entry->fileName, name, sizeof name) ||
                !JoinEntryPath(folders, *entry, target, sizeof target))
                continue;
            shell.CreateLink(kind, name, target, logged, sizeof logged);
            // Listed whether or not it was saved: the uninstaller looks for it either way.
            if (logged[0]) package::AppendLogLine(logged, log);
        }
    }
}

namespace {

// The next line of `text` (up to `end`) without its line end; false at the end.
bool NextLine(const char*& cursor, const char* end, const char** line, size_t* length) {
    if (cursor >= end) return false;
    const char* start = cursor;
    while (cursor < end && *cursor != '\n') ++cursor;
    const char* stop = cursor;
    if (cursor < end) ++cursor;
    while (stop > start && stop[-1] == '\r') --stop;
    *line = start;
    *length = static_cast<size_t>(stop - start);
    return true;
}

// Both walk the lines as GBK, so a trail byte is never folded as if it were a letter.
bool SamePath(const char* a, size_t aLength, const char* b, size_t bLength) {
    if (aLength != bLength) return false;
    for (size_t i = 0; i < aLength;) {
        const size_t width =
            gbk::IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < aLength ? 2 : 1;
        if (package::UpperCharacter(a + i, width) != package::UpperCharacter(b + i, width))
            return false;
        i += width;
    }
    return true;
}

uint32_t FoldedHash(const char* text, size_t length) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length;) {
        const size_t width =
            gbk::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
        hash = (hash ^ package::UpperCharacter(text + i, width)) * 16777619u;
        i += width;
    }
    return hash;
}

// The lines already in the list, by their place in its text, so that merging two lists of
// thousands of files stays linear.
class LineSet {
public:
    ~LineSet() { std::free(slots_); }

    // True when the line at `offset` was listed before it; otherwise it is remembered. Without
    // the memory to remember it, every later line counts as new: a path listed twice does no
    // harm, a path left out would stay behind when the program is removed.
    bool Seen(const platform::TextBuffer& list, size_t offset, size_t length) {
        if (failed_) return false;
        if ((count_ + 1) * 2 > capacity_ && !Grow(list)) {
            failed_ = true;
            return false;
        }
        const char* line = list.data() + offset;
        for (size_t i = FoldedHash(line, length) & (capacity_ - 1);;
             i = (i + 1) & (capacity_ - 1)) {
            Slot& slot = slots_[i];
            if (!slot.used) {
                slot = {offset, length, true};
                ++count_;
                return false;
            }
            if (SamePath(list.data() + slot.offset, slot.length, line, length)) return true;
        }
    }

private:
    struct Slot {
        size_t offset;
        size_t length;
        bool used;
    };

    bool Grow(const platform::TextBuffer& list) {
        const size_t capacity = capacity_ ? capacity_ * 2 : 1024;
        Slot* slots = static_cast<Slot*>(std::calloc(capacity, sizeof(Slot)));
        if (!slots) return false;
        for (size_t i = 0; i < capacity_; ++i) {
            if (!slots_[i].used) continue;
            size_t j =
                FoldedHash(list.data() + slots_[i].offset, slots_[i].length) & (capacity - 1);
            while (slots[j].used) j = (j + 1) & (capacity - 1);
            slots[j] = slots_[i];
        }
        std::free(slots_);
        slots_ = slots;
        capacity_ = capacity;
        return true;
    }

    Slot* slots_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
    bool failed_ = false;
};

// Appends each line of `text` that is not empty and not yet listed, with CR LF.
void AddUnlisted(const char* text, size_t size, LineSet* seen, platform::TextBuffer* list) {
    const char* cursor = text;
    const char* line;
    size_t length;
    while (NextLine(cursor, text + size, &line, &length)) {
        if (length == 0) continue;
        const size_t offset = list->size();
        if (!package::AppendListLine(line, length, list)) return;
        if (seen->Seen(*list, offset, length)) list->Truncate(offset);
    }
}

}  // namespace

void MergeWrittenList(const char* earlier, size_t earlierLength, const char* written,
                      platform::TextBuffer* list) {
    LineSet seen;
    AddUnlisted(earlier, earlierLength, &seen, list);
    AddUnlisted(written, std::strlen(written), &seen, list);
}

}  // namespace install
