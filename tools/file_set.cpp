#include "tools/file_set.h"

#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "package/limits.h"
#include "package/setup_model.h"
#include "tools/text.h"
#include "tools/text_limits.h"
#include "tools/windows_names.h"
#include "tools/words.h"

namespace fs = std::filesystem;

namespace sfxpack {

namespace {
struct Found {
    std::string path;      // on this machine
    std::string relative;  // below the rule's subfolder, levels joined by '/'
    uint64_t size;
};

bool IsPattern(const std::string& source) {
    return source.find_first_of("*?[") != std::string::npos;
}

std::string EscapeForGlob(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '*' || c == '?' || c == '[' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

class Expander {
public:
    Expander(const Manifest& manifest, std::vector<std::string>& errors,
             std::vector<std::string>& warnings)
        : m_(manifest), errors_(errors), warnings_(warnings) {}

    void Expand(size_t index, std::vector<PackedFile>* files) {
        const FileRule& rule = m_.files[index];
        rule_ = &rule;
        if (rule.source.empty()) return;
        std::vector<Found> found;
        const std::string full = rule.source[0] == '/' ? rule.source : m_.folder + rule.source;
        if (IsPattern(rule.source)) {
            const std::string pattern =
                rule.source[0] == '/' ? rule.source : EscapeForGlob(m_.folder) + rule.source;
            glob_t matches{};
            const int rc = ::glob(pattern.c_str(), GLOB_NOSORT, nullptr, &matches);
            std::vector<std::string> paths(matches.gl_pathv, matches.gl_pathv + matches.gl_pathc);
            globfree(&matches);
            if (rc != 0 && rc != GLOB_NOMATCH)
                return Error("cannot read the folders of the pattern");
            // Byte order, not the locale's, so that every machine packs the same order.
            std::sort(paths.begin(), paths.end());
            for (const std::string& path : paths) Take(path, &found);
            if (paths.empty()) return Error("\"" + rule.source + "\" matches nothing");
        } else {
            std::error_code error;
            if (!fs::exists(fs::symlink_status(full, error)))
                return Error("\"" + rule.source + "\": no such file or folder (looked for " + full +
                             ")");
            Take(full, &found);
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const Found& a, const Found& b) { return a.relative < b.relative; });
        if (found.empty() && errorsBefore_ == errors_.size())
            Warning("\"" + rule.source + "\" holds no files");
        for (const Found& f : found) Add(index, f, files);
    }

    void BeginRule() { errorsBefore_ = errors_.size(); }

private:
    void Error(const std::string& text) {
        errors_.push_back(ManifestMessage(m_, rule_->sourceLine, rule_->setting + ".source", text));
    }
    void Warning(const std::string& text) {
        warnings_.push_back(
            ManifestMessage(m_, rule_->sourceLine, rule_->setting + ".source", text));
    }

    // A file, or every file below a folder.
    void Take(const std::string& path, std::vector<Found>* found) {
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_regular_file(status)) {
            found->push_back({path, fs::path(path).filename().string(), FileSize(path)});
            return;
        }
        if (!fs::is_directory(status)) {
            if (fs::is_symlink(fs::symlink_status(path, error)))
                return Error(path + ": a link that leads nowhere");
            return Error(path + ": neither a file nor a folder");
        }
        const fs::path root(path);
        fs::recursive_directory_iterator it(root, error), end;
        for (; !error && it != end; it.increment(error)) {
            const fs::path& entry = it->path();
            const fs::file_status entryStatus = fs::status(entry, error);
            if (error) break;
            if (fs::is_directory(entryStatus)) {
                if (it->is_symlink())
                    Warning(entry.string() + ": a link to a folder; not followed");
                continue;
            }
            if (!fs::is_regular_file(entryStatus))
                return Error(entry.string() + ": neither a file nor a folder");
            found->push_back({entry.string(), entry.lexically_relative(root).generic_string(),
                              FileSize(entry.string())});
        }
        if (error) Error(path + ": cannot read the folder (" + error.message() + ")");
    }

    static uint64_t FileSize(const std::string& path) {
        struct stat info;
        return ::stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    }

    void Add(size_t index, const Found& f, std::vector<PackedFile>* files) {
        // Every level below the base folder: the rule's subfolder, then the found path.
        std::vector<std::string> levels;
        if (!rule_->subFolder.empty()) levels.push_back(rule_->subFolder);
        size_t start = 0;
        for (size_t slash; (slash = f.relative.find('/', start)) != std::string::npos;
             start = slash + 1)
            levels.push_back(f.relative.substr(start, slash - start));
        const std::string name = f.relative.substr(start);
        for (size_t i = rule_->subFolder.empty() ? 0 : 1; i < levels.size(); ++i)
            if (!NameProblem(levels[i]).empty())
                return Error(f.path + ": the folder name \"" + levels[i] + "\" " +
                             NameProblem(levels[i]));
        if (!NameProblem(name).empty()) return Error(f.path + ": the name " + NameProblem(name));

        std::string subFolder;
        for (const std::string& level : levels)
            subFolder += (subFolder.empty() ? "" : "\\") + level;
        PackedFile file;
        std::string offending;
        if (!Utf8ToGbk(name, &file.name, &offending) ||
            !Utf8ToGbk(subFolder, &file.subFolder, &offending))
            return Error(f.path + ": the character '" + offending +
                         "' has no GBK form; the installer names files in GBK");
        std::string problem = LimitProblem(file.name, package::kNameRoom);
        if (!problem.empty()) return Error(f.path + ": the name " + problem);
        problem = LimitProblem(file.subFolder, package::kNameRoom);
        if (!problem.empty())
            return Error(f.path + ": the folder \"" + subFolder + "\" below the base folder " +
                         problem);

        file.sourcePath = f.path;
        file.folderKind = rule_->folderKind;
        file.shortcutFlags = rule_->shortcutFlags;
        file.overwriteMode = rule_->overwriteMode;
        file.compression = rule_->compression;
        file.size = f.size;
        file.rule = index;
        if (!Claim(file, subFolder, name)) return;
        files->push_back(file);
    }

    // Records the destination; refuses one that another file already takes, and a file where
    // another needs a folder of the same name.
    bool Claim(const PackedFile& file, const std::string& subFolder, const std::string& name) {
        const std::string base = FolderWord(file.folderKind);
        const std::string shown = base + "\\" + (subFolder.empty() ? "" : subFolder + "\\") + name;
        const std::u32string key =
            CaseFoldKey(base + "\\" + (subFolder.empty() ? "" : subFolder + "\\") + name);
        auto taken = destinations_.find(key);
        if (taken != destinations_.end()) {
            Error(file.sourcePath + " goes to " + shown + ", where " + taken->second +
                  " goes already (Windows does not tell upper and lower case apart)");
            return false;
        }
        if (folders_.count(key)) {
            Error(file.sourcePath + " goes to " + shown + ", which other files need as a folder");
            return false;
        }
        for (size_t cut = key.find(U'\\'); cut != std::u32string::npos;
             cut = key.find(U'\\', cut + 1)) {
            const std::u32string folder = key.substr(0, cut);
            auto other = destinations_.find(folder);
            if (other != destinations_.end()) {
                Error(file.sourcePath + " goes to " + shown + ", but " + other->second +
                      " is a file where it needs a folder");
                return false;
            }
            folders_.insert(folder);
        }
        destinations_[key] = file.sourcePath + " (" + rule_->setting + ", line " +
                             std::to_string(rule_->sourceLine) + ")";
        return true;
    }

    const Manifest& m_;
    std::vector<std::string>& errors_;
    std::vector<std::string>& warnings_;
    const FileRule* rule_ = nullptr;
    size_t errorsBefore_ = 0;
    std::map<std::u32string, std::string> destinations_;
    std::set<std::u32string> folders_;
};
}  // namespace

bool ExpandFiles(const Manifest& manifest, std::vector<PackedFile>* files,
                 std::vector<std::string>* errors, std::vector<std::string>* warnings) {
    const size_t before = errors->size();
    Expander expander(manifest, *errors, *warnings);
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        expander.BeginRule();
        expander.Expand(i, files);
    }
    // A readme or program of the install folder that the package does not install is offered
    // on the finish page, or registered, all the same, and then is not there.
    std::set<std::u32string> installed;
    for (const PackedFile& file : *files)
        if (file.folderKind == package::kFolderInstall)
            installed.insert(CaseFoldKey(
                GbkToUtf8(file.subFolder.empty() ? file.name : file.subFolder + "\\" + file.name)));
    for (const Manifest::InstalledPath& p : manifest.installedPaths)
        if (!installed.count(CaseFoldKey(p.path)))
            warnings->push_back(ManifestMessage(manifest, p.line, p.setting,
                                                "\"" + p.path +
                                                    "\" is not among the files the package "
                                                    "installs into the install folder"));
    return errors->size() == before;
}

}  // namespace sfxpack
