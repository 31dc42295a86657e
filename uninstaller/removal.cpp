#include "uninstaller/removal.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "package/file_type_keys.h"
#include "package/install_records.h"
#include "package/windows_case.h"
#include "platform/gbk.h"
#include "uninstaller/paths.h"

namespace unwise {

namespace {
constexpr const char* kOwnFiles[] = {package::kUninstallerName, package::kLogName,
                                     package::kWrittenListName};
constexpr const char* kUninstallerLink = package::kUninstallerLinkName;
constexpr size_t kRoom = platform::kPathRoom;

int Depth(const char* path) {
    int depth = 0;
    for (size_t i = 0; path[i] != '\0'; i += gbk::CharWidth(path + i))
        if (path[i] == '\\') ++depth;
    return depth;
}

}  // namespace

Report::~Report() { std::free(entries_); }

namespace {
// Left on purpose: a shared file for the programs that may use it, a folder that holds the
// user's files. Anything else that stays was meant to go, or was refused and must be seen.
bool Counts(Verdict verdict) {
    return verdict != Verdict::Shared && verdict != Verdict::NotEmpty &&
           verdict != Verdict::Unloaded;
}
}  // namespace

bool Report::Add(Subject subject, Verdict verdict, platform::ErrorCode error, const char* text) {
    if (Counts(verdict)) ++failures_;
    if (texts_.count() == capacity_) {
        const int32_t capacity = capacity_ < 16 ? 16 : capacity_ * 2;
        auto* grown = static_cast<Entry*>(
            std::realloc(entries_, static_cast<size_t>(capacity) * sizeof(Entry)));
        if (!grown) {
            // What cannot be recorded cannot be named or kept for another run: it counts.
            if (!Counts(verdict)) ++failures_;
            return false;
        }
        entries_ = grown;
        capacity_ = capacity;
    }
    const int32_t index = texts_.count();
    if (!texts_.Add(text)) {
        if (!Counts(verdict)) ++failures_;
        return false;
    }
    entries_[index] = Entry{subject, verdict, error};
    return true;
}

bool InstallFolderAllowed(const char* installFolder, const char* windowsFolder,
                          const char* systemFolder) {
    // "C:\" and the like hold every other folder of their drive.
    if (!IsPlainFullPath(installFolder)) return false;
    for (const char* kept : {windowsFolder, systemFolder})
        if (*kept && IsAtOrBelow(installFolder, kept)) return false;
    return true;
}

Removal::Removal(const RemovalInput& input, UninstallSystem& system)
    : input_(input), system_(system) {}

void Removal::Note(Subject subject, Verdict verdict, platform::ErrorCode error, const char* text) {
    report_.Add(subject, verdict, error, text);
}

const package::LineList& Removal::Files() const {
    return input_.written ? *input_.written : none_;
}

void Removal::Run(UninstallView& view) {
    view_ = &view;
    // Its files and ours cannot be told apart: an installer of before merged both into one log.
    char other[kRoom];
    if (system_.OtherApplicationIn(input_.installFolder, other, sizeof other)) {
        otherApplication_ = true;
        Note(Subject::Application, Verdict::OtherApplication, 0, other);
        return;
    }
    RemoveLinks();
    RemoveEarlierLinks();
    RemoveFiles();
    RemoveFileTypes();
    RemoveFolders();
    if (done()) Finish();
}

// ---- links ---------------------------------------------------------------------------------

int Removal::MatchLinkFolder(const char* folder, size_t length) {
    for (int kind = 0; kind < kLinkFolders; ++kind) {
        const char* forms[2] = {nullptr, nullptr};
        const int count = system_.LinkFolderForms(static_cast<LinkFolder>(kind), forms);
        for (int i = 0; i < count && i < 2; ++i) {
            char logged[kRoom];
            if (!gbk::CopyBytes(logged, sizeof logged, folder, length)) continue;
            if (forms[i] && *forms[i] && SameText(logged, forms[i])) return kind;
        }
    }
    return -1;
}

bool Removal::TargetIsOurs(const char* target) {
    char full[kRoom];
    return *target && IsPlainFullPath(target) && system_.FullPath(target, full, sizeof full) &&
           IsBelow(input_.installFolder, full);
}

void Removal::RemoveLinks() {
    const package::LineList& links = input_.log->links;
    for (int32_t i = 0; i < links.count(); ++i) {
        const char* line = links.at(i);
        view_->ShowCurrent(line);
        view_->KeepAlive();
        const long separator = LastSeparator(line);
        const char* name = line + separator + 1;
        // The name came from the package (GBK holds it whole); only the folder may have lost
        // characters to '?', and the folder must be one of the three the links were made in.
        if (separator < 0 || !IsPlainName(name) || !HasExtension(name, "lnk")) {
            Note(Subject::Link, Verdict::NotOurLink, 0, line);
            continue;
        }
        const int kind = MatchLinkFolder(line, static_cast<size_t>(separator));
        if (kind < 0) {
            Note(Subject::Link, Verdict::NotOurLink, 0, line);
            continue;
        }
        const LinkFolder folder = static_cast<LinkFolder>(kind);
        // The uninstaller's own link goes last, and only when everything else went.
        if (folder == LinkFolder::Group && SameText(name, kUninstallerLink)) continue;
        char target[kRoom];
        platform::ErrorCode error = 0;
        switch (system_.ProbeLink(folder, name, target, sizeof target, &error)) {
            case EntryKind::Missing: continue;
            case EntryKind::Folder:
            case EntryKind::ReparsePoint: Note(Subject::Link, Verdict::NotAFile, 0, line); continue;
            case EntryKind::Unknown: Note(Subject::Link, Verdict::Failed, error, line); continue;
            case EntryKind::File: break;
        }
        if (!TargetIsOurs(target)) {
            Note(Subject::Link, Verdict::LinkTarget, 0, line);
            continue;
        }
        if (!system_.RemoveLink(folder, name, &error))
            Note(Subject::Link, Verdict::Failed, error, line);
    }
}

void Removal::RemoveEarlierLinks() {
    const package::LineList& files = Files();
    for (int kind = 0; kind < kLinkFolders; ++kind) {
        const LinkFolder folder = static_cast<LinkFolder>(kind);
        package::LineList names;
        system_.ListLinks(folder, &names);
        for (int32_t i = 0; i < names.count(); ++i) {
            const char* name = names.at(i);
            if (!IsPlainName(name) ||
                (folder == LinkFolder::Group && SameText(name, kUninstallerLink)))
                continue;
            char target[kRoom];
            platform::ErrorCode error = 0;
            if (system_.ProbeLink(folder, name, target, sizeof target, &error) != EntryKind::File ||
                !TargetIsOurs(target))
                continue;
            // Named for its target as the installer names links, and its target a file the
            // installations wrote.
            char expected[kRoom];
            if (!package::LinkName(target + LastSeparator(target) + 1, expected, sizeof expected) ||
                !SameText(expected, name))
                continue;
            bool written = false;
            for (int32_t f = 0; f < files.count() && !written; ++f)
                written = SameText(files.at(f), target);
            if (!written) continue;
            view_->KeepAlive();
            if (!system_.RemoveLink(folder, name, &error)) {
                char shown[kRoom];
                const char* forms[2] = {nullptr, nullptr};
                if (system_.LinkFolderForms(folder, forms) > 0 &&
                    gbk::Copy(shown, sizeof shown, forms[0]) &&
                    gbk::Append(shown, sizeof shown, "\\") &&
                    gbk::Append(shown, sizeof shown, name))
                    Note(Subject::Link, Verdict::Failed, error, shown);
                else
                    Note(Subject::Link, Verdict::Failed, error, name);
            }
        }
    }
}

// ---- files ---------------------------------------------------------------------------------

bool Removal::IsOwnFile(const char* full) const {
    if (LastSeparator(full) != static_cast<long>(std::strlen(input_.installFolder)) ||
        !IsBelow(input_.installFolder, full))
        return false;
    const char* name = full + std::strlen(input_.installFolder) + 1;
    for (const char* own : kOwnFiles)
        if (SameText(name, own)) return true;
    return false;
}

EntryKind Removal::WalkTo(const char* full, platform::ErrorCode* error) {
    // The folders between the install folder and the file, shortest first: a reparse point on
    // the way would lead out of the install folder.
    const size_t base = std::strlen(input_.installFolder) + 1;
    char folder[kRoom];
    for (size_t i = base; full[i] != '\0'; i += gbk::CharWidth(full + i)) {
        if (full[i] != '\\') continue;
        if (!gbk::CopyBytes(folder, sizeof folder, full, i)) return EntryKind::Unknown;
        const EntryKind kind = system_.Probe(folder, error);
        if (kind != EntryKind::Folder) return kind == EntryKind::File ? EntryKind::Missing : kind;
    }
    return system_.Probe(full, error);
}

void Removal::NoteFolders(const char* full) {
    const long separator = LastSeparator(full);
    if (separator <= static_cast<long>(std::strlen(input_.installFolder))) return;
    char folder[kRoom];
    gbk::CopyBytes(folder, sizeof folder, full, static_cast<size_t>(separator));
    // Files of one folder follow each other: its chain is noted once.
    if (SameText(folder, lastFolder_)) return;
    gbk::Copy(lastFolder_, sizeof lastFolder_, folder);
    while (IsBelow(input_.installFolder, folder)) {
        folders_.Add(folder);
        const long up = LastSeparator(folder);
        if (up < 0) break;
        folder[up] = '\0';
    }
}

void Removal::RemoveFile(const char* line) {
    if (!IsPlainFullPath(line)) {
        Note(Subject::File, Verdict::NotPlain, 0, line);
        return;
    }
    char full[kRoom];
    if (!system_.FullPath(line, full, sizeof full)) {
        Note(Subject::File, Verdict::NotPlain, 0, line);
        return;
    }
    if (IsOwnFile(full)) return;
    platform::ErrorCode error = 0;
    if (!IsBelow(input_.installFolder, full)) {
        // A shared file is named only while it is there; anything else outside is refused.
        if (!IsShared(full))
            Note(Subject::File, Verdict::Outside, 0, line);
        else if (system_.Probe(full, &error) != EntryKind::Missing)
            Note(Subject::File, Verdict::Shared, 0, line);
        return;
    }
    switch (WalkTo(full, &error)) {
        case EntryKind::Missing: return;  // gone already: it does not count
        case EntryKind::Folder:
        case EntryKind::ReparsePoint: Note(Subject::File, Verdict::NotAFile, 0, line); return;
        case EntryKind::Unknown: Note(Subject::File, Verdict::Failed, error, line); return;
        case EntryKind::File: break;
    }
    if (!input_.written) {
        Note(Subject::File, Verdict::Unlisted, 0, line);
        return;
    }
    // A control that is not the one installed may be anyone's: it goes unloaded, and is named.
    if (HasExtension(full, "ocx") && !system_.UnregisterControl(full))
        Note(Subject::File, Verdict::Unloaded, 0, line);
    if (system_.RemoveFile(full, &error))
        NoteFolders(full);
    else
        Note(Subject::File, Verdict::Failed, error, line);
}

void Removal::RemoveFiles() {
    const package::LineList& files = input_.written ? *input_.written : input_.log->files;
    for (int32_t i = 0; i < files.count(); ++i) {
        view_->ShowCurrent(files.at(i));
        view_->KeepAlive();
        RemoveFile(files.at(i));
    }
}

// ---- file types ----------------------------------------------------------------------------

bool Removal::IsShared(const char* full) const {
    return (*input_.windowsFolder && IsBelow(input_.windowsFolder, full)) ||
           (*input_.systemFolder && IsBelow(input_.systemFolder, full));
}

bool Removal::IsOurProgram(const char* program) {
    char full[kRoom];
    if (!IsPlainFullPath(program) || !system_.FullPath(program, full, sizeof full)) return false;
    if (IsBelow(input_.installFolder, full)) return true;
    // A program the package put into the Windows or system folder; the records lie in a folder
    // users can write, and name no other program of the machine as ours.
    if (!IsShared(full)) return false;
    for (const package::LineList* files : {input_.written, &input_.log->files}) {
        if (!files) continue;
        for (int32_t i = 0; i < files->count(); ++i)
            if (SameText(files->at(i), program)) return true;
    }
    return false;
}

// Deletes the key's default value when it names a program of ours as the installer wrote it:
// "PROGRAM,0" for the icon, "PROGRAM" "%1" (or, from earlier installations, PROGRAM %1) for the
// command. Ours also when it could not be deleted (`failed`).
Removal::Value Removal::RemoveOurValue(const char* key, bool command, bool* failed,
                                       platform::ErrorCode* error) {
    char value[kRoom];
    const ValueKind kind = system_.ReadDefaultValue(key, value, sizeof value);
    if (kind == ValueKind::Missing) return Value::Missing;
    if (kind != ValueKind::Text) return Value::Theirs;
    char program[kRoom];
    if (command) {
        if (!package::ProgramOfCommand(value, program, sizeof program)) return Value::Theirs;
    } else {
        const size_t length = std::strlen(value);
        const size_t suffix = std::strlen(package::kIconSuffix);
        if (length <= suffix || std::strcmp(value + length - suffix, package::kIconSuffix) != 0 ||
            !gbk::CopyBytes(program, sizeof program, value, length - suffix))
            return Value::Theirs;
    }
    if (!IsOurProgram(program)) return Value::Theirs;
    if (!PutBack(key, error)) *failed = true;
    return Value::Ours;
}

bool Removal::PutBack(const char* key, platform::ErrorCode* error, bool onlyAlone) {
    switch (system_.RestoreReplacedValue(key, error)) {
        case UninstallSystem::Restore::Restored: return true;
        case UninstallSystem::Restore::Failed: return false;
        case UninstallSystem::Restore::NothingKept: break;
    }
    if (onlyAlone && !system_.HoldsOnlyDefaultValue(key)) return true;
    return system_.DeleteDefaultValue(key, error);
}

void Removal::RemoveFileType(const char* extension) {
    // The keys the installer made of it; an extension short enough to pass the checks before
    // always fits.
    package::FileTypeKeys keys;
    if (!package::MakeFileTypeKeys(extension, &keys)) return;

    bool failed = false;
    platform::ErrorCode error = 0;
    // The class may be Windows' own (txtfile) or shared: only our values go, then only the keys
    // that nothing else holds.
    const Value command = RemoveOurValue(keys.command.c_str(), true, &failed, &error);
    // The extension is ours while it still names our class, our command was still there (a
    // program that took the class over since owns the extension too), and nothing else shares
    // its key: Windows' own ".txt" names "txtfile" as the installer did, and holds more besides,
    // and so keeps its value.
    char value[kRoom];
    if (command == Value::Ours &&
        system_.ReadDefaultValue(keys.extension.c_str(), value, sizeof value) == ValueKind::Text &&
        std::strcmp(value, keys.className.c_str()) == 0 &&
        !PutBack(keys.extension.c_str(), &error, true))
        failed = true;
    system_.DeleteKeyIfEmpty(keys.extension.c_str());
    system_.DeleteKeyIfEmpty(keys.command.c_str());
    system_.DeleteKeyIfEmpty(keys.open.c_str());
    system_.DeleteKeyIfEmpty(keys.shell.c_str());
    RemoveOurValue(keys.icon.c_str(), false, &failed, &error);
    system_.DeleteKeyIfEmpty(keys.icon.c_str());
    system_.DeleteKeyIfEmpty(keys.className.c_str());
    if (failed) Note(Subject::FileType, Verdict::Failed, error, extension);
}

void Removal::RemoveFileTypes() {
    const package::LineList& types = input_.log->types;
    for (int32_t i = 0; i < types.count(); ++i) {
        const char* extension = types.at(i);
        view_->KeepAlive();
        // As the packer takes them: a plain name of at most three bytes, without a dot.
        if (std::strlen(extension) > 3 || std::strchr(extension, '.') || !IsPlainName(extension) ||
            std::strchr(extension, ' ')) {
            Note(Subject::FileType, Verdict::NotPlain, 0, extension);
            continue;
        }
        RemoveFileType(extension);
    }
}

// ---- folders -------------------------------------------------------------------------------

void Removal::RemoveFolders() {
    const int32_t count = folders_.count();
    if (count == 0) return;
    int32_t* order =
        static_cast<int32_t*>(std::malloc(static_cast<size_t>(count) * sizeof(int32_t)));
    if (!order) return;  // the folders stay, which is what a failure may leave
    for (int32_t i = 0; i < count; ++i) order[i] = i;
    // Shell sort: a few lines of code where std::sort would add a kilobyte to every installer.
    const auto before = [this](int32_t a, int32_t b) {
        const int da = Depth(folders_.at(a));
        const int db = Depth(folders_.at(b));
        if (da != db) return da > db;
        return package::CompareNames(folders_.at(a), folders_.at(b)) < 0;
    };
    for (int32_t gap = count / 2; gap > 0; gap = gap == 2 ? 1 : gap * 5 / 11) {
        for (int32_t i = gap; i < count; ++i) {
            const int32_t moving = order[i];
            int32_t j = i;
            for (; j >= gap && before(moving, order[j - gap]); j -= gap) order[j] = order[j - gap];
            order[j] = moving;
        }
    }
    const char* previous = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        const char* folder = folders_.at(order[i]);
        if (previous && SameText(previous, folder)) continue;
        previous = folder;
        view_->KeepAlive();
        platform::ErrorCode error = 0;
        // Only a plain folder: a reparse point put in the place of ours is left alone.
        if (system_.Probe(folder, &error) != EntryKind::Folder) continue;
        if (!system_.RemoveFolder(folder, &error))
            Note(Subject::Folder, Verdict::NotEmpty, error, folder);
    }
    std::free(order);
}

// ---- the end -------------------------------------------------------------------------------

void Removal::Finish() {
    platform::ErrorCode error = 0;
    // The program group's link to the uninstaller, when it still leads to this installation.
    char target[kRoom];
    const char* forms[2] = {nullptr, nullptr};
    if (system_.LinkFolderForms(LinkFolder::Group, forms) > 0) {
        char shown[kRoom];
        gbk::Copy(shown, sizeof shown, forms[0]);
        gbk::Append(shown, sizeof shown, "\\");
        gbk::Append(shown, sizeof shown, kUninstallerLink);
        const EntryKind kind =
            system_.ProbeLink(LinkFolder::Group, kUninstallerLink, target, sizeof target, &error);
        if (kind == EntryKind::Unknown)
            Note(Subject::Link, Verdict::Failed, error, shown);
        else if (kind == EntryKind::File && TargetIsOurs(target) &&
                 !system_.RemoveLink(LinkFolder::Group, kUninstallerLink, &error))
            Note(Subject::Link, Verdict::Failed, error, shown);
        // A group folder that holds anything else stays, unnamed: it is the user's now.
        if (done()) system_.RemoveGroupFolder(&error);
    }
    if (done() && !system_.RemoveUninstallEntry(&error))
        Note(Subject::Entry, Verdict::Failed, error, "");
    // The install folder goes after this program has ended; say now when it will stay.
    if (done() && system_.HoldsOthers(input_.installFolder))
        Note(Subject::Folder, Verdict::NotEmpty, 0, input_.installFolder);
}

bool Removal::Remaining(package::InstallLog* log, package::LineList* written) const {
    if (otherApplication_) return false;
    for (int32_t i = 0; i < report_.count(); ++i) {
        const Report::Entry& entry = report_.entry(i);
        const char* text = report_.text(i);
        bool ok = true;
        if (entry.subject == Subject::File &&
            (entry.verdict == Verdict::Failed || entry.verdict == Verdict::Shared))
            ok = log->files.Add(text) && written->Add(text);
        else if (entry.subject == Subject::FileType && entry.verdict == Verdict::Failed)
            ok = log->types.Add(text);
        else if (entry.subject == Subject::Link && entry.verdict == Verdict::Failed)
            // The group's unwise.lnk among them is passed over by the next run's link step and
            // taken up again at its end.
            ok = log->links.Add(text);
        if (!ok) return false;
    }
    return true;
}

}  // namespace unwise
