#include "tools/manifest.h"

#include <sys/stat.h>

#include <toml++/toml.h>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>

#include "package/limits.h"
#include "package/settings_layout.h"
#include "package/words.h"
#include "tools/picture_format.h"
#include "tools/text.h"
#include "tools/text_limits.h"
#include "tools/windows_names.h"
#include "tools/words.h"

namespace sfxpack {

namespace {
namespace layout = package::layout;

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

const char* TypeName(const toml::node& node) {
    switch (node.type()) {
        case toml::node_type::table: return "a table";
        case toml::node_type::array: return "a list";
        case toml::node_type::string: return "a text";
        case toml::node_type::integer: return "a whole number";
        case toml::node_type::floating_point: return "a number";
        case toml::node_type::boolean: return "true or false";
        default: return "a date or time";
    }
}

// "'€' (U+20AC)" for one UTF-8 character.
std::string DescribeCharacter(const std::string& utf8) {
    if (utf8.empty()) return "?";
    const unsigned char lead = static_cast<unsigned char>(utf8[0]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > utf8.size() || (length == 1 && lead >= 0x80)) {
        char text[40];
        std::snprintf(text, sizeof text, "the byte 0x%02X, which is not UTF-8", lead);
        return text;
    }
    uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (size_t k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[k]) & 0x3F);
    char text[24];
    std::snprintf(text, sizeof text, " (U+%04X)", c);
    return "the character '" + utf8 + "'" + text;
}

bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

// Line ends as a multi-line edit control needs them (CR LF), without the trailing ones.
std::string EditControlText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

bool IsRegularFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class Reader {
public:
    Reader(Manifest* manifest, std::vector<std::string>* errors)
        : m_(*manifest), errors_(*errors) {}

    void Read(const toml::table& root) {
        CheckKeys(root, "",
                  {"application", "pages", "uninstaller", "wizard", "background", "file-type",
                   "files", "compression"});
        ReadApplication(root);
        ReadPages(root);
        ReadUninstaller(root);
        ReadWizard(root);
        ReadBackground(root);
        ReadFileTypes(root);
        ReadCompression(root);
        ReadFiles(root);
    }

private:
    void Error(int line, const std::string& setting, const std::string& text) {
        errors_.push_back(ManifestMessage(m_, line, setting, text));
    }
    void Warn(int line, const std::string& setting, const std::string& text) {
        m_.warnings.push_back(ManifestMessage(m_, line, setting, text));
    }

    void CheckKeys(const toml::table& table, const std::string& prefix,
                   std::initializer_list<const char*> known) {
        for (auto&& [key, node] : table) {
            bool found = false;
            for (const char* name : known) found = found || key.str() == name;
            if (found) continue;
            std::string list;
            for (const char* name : known) list += std::string(list.empty() ? "" : ", ") + name;
            Error(static_cast<int>(key.source().begin.line), prefix + std::string(key.str()),
                  "unknown setting (known " + std::string(prefix.empty() ? "tables" : "here") +
                      ": " + list + ")");
        }
    }

    // The node under `key` when it has the type asked for; nullptr when it is absent or wrong
    // (which is reported).
    const toml::node* Get(const toml::table& table, const char* key, const std::string& setting,
                          toml::node_type type, const char* want) {
        const toml::node* node = table.get(key);
        if (!node) return nullptr;
        if (node->type() != type) {
            Error(LineOf(*node), setting,
                  std::string("must be ") + want + ", not " + TypeName(*node));
            return nullptr;
        }
        return node;
    }
    const toml::table* GetTable(const toml::table& table, const char* key) {
        const toml::node* node = Get(table, key, key, toml::node_type::table, "a table");
        return node ? node->as_table() : nullptr;
    }
    bool GetString(const toml::table& table, const char* key, const std::string& setting,
                   std::string* value, int* line) {
        const toml::node* node = Get(table, key, setting, toml::node_type::string, "a text");
        if (!node) return false;
        *value = node->as_string()->get();
        *line = LineOf(*node);
        return true;
    }
    void GetBool(const toml::table& table, const char* key, const std::string& setting,
                 bool* value) {
        const toml::node* node =
            Get(table, key, setting, toml::node_type::boolean, "true or false");
        if (node) *value = node->as_boolean()->get();
    }
    // The list under `key`, each element checked to be text.
    bool GetStrings(const toml::table& table, const char* key, const std::string& setting,
                    size_t most, std::vector<std::string>* values, std::vector<int>* lines) {
        const toml::node* node =
            Get(table, key, setting, toml::node_type::array, "a list of texts");
        if (!node) return false;
        const toml::array& array = *node->as_array();
        if (array.size() > most) {
            Error(LineOf(*node), setting,
                  "has " + std::to_string(array.size()) + " entries; at most " +
                      std::to_string(most) + " are allowed");
            return false;
        }
        bool good = true;
        for (size_t i = 0; i < array.size(); ++i) {
            const toml::node& element = *array.get(i);
            if (!element.is_string()) {
                Error(LineOf(element), setting + "[" + std::to_string(i) + "]",
                      std::string("must be a text, not ") + TypeName(element));
                good = false;
                continue;
            }
            values->push_back(element.as_string()->get());
            lines->push_back(LineOf(element));
        }
        return good;
    }

    bool ToGbk(const std::string& utf8, int line, const std::string& setting, std::string* gbk) {
        std::string offending;
        if (Utf8ToGbk(utf8, gbk, &offending)) return true;
        Error(line, setting,
              DescribeCharacter(offending) + " has no GBK form; the installer shows GBK only");
        return false;
    }

    // A text the installer shows on one line or stores in a field, at most `limit` bytes of GBK;
    // `where` names what sets the limit (LimitProblem).
    bool LineText(const std::string& utf8, int line, const std::string& setting, size_t limit,
                  const std::string& where, std::string* gbk) {
        if (HasControlCharacter(utf8)) {
            Error(line, setting,
                  "holds a line break or another control character; it is shown "
                  "on one line");
            return false;
        }
        if (!ToGbk(utf8, line, setting, gbk)) return false;
        std::string problem = LimitProblem(*gbk, limit, where);
        if (!problem.empty()) Error(line, setting, problem);
        return problem.empty();
    }

    // A path below one of the base folders, stored as "WORD\rest" in at most `room` bytes.
    bool StoredPath(const std::string& utf8, int line, const std::string& setting,
                    int32_t folderKind, size_t room, std::string* stored) {
        std::string rest;
        if (!RelativePath(utf8, line, setting, &rest)) return false;
        std::string gbk;
        const std::string word = package::words::FolderWord(folderKind);
        if (!ToGbk(word + "\\" + rest, line, setting, &gbk)) return false;
        std::string problem = LimitProblem(gbk, room);
        if (!problem.empty()) {
            Error(line, setting, "with its folder word \"" + word + "\\\" " + problem);
            return false;
        }
        *stored = gbk;
        if (folderKind == package::kFolderInstall)
            m_.installedPaths.push_back({setting, line, rest});
        return true;
    }

    // A relative path whose levels Windows takes as they are, joined by '\'.
    bool RelativePath(const std::string& utf8, int line, const std::string& setting,
                      std::string* joined) {
        joined->clear();
        size_t start = 0;
        while (true) {
            const size_t end = utf8.find_first_of("/\\", start);
            const std::string level = utf8.substr(start, end - start);
            std::string problem = NameProblem(level);
            if (!problem.empty()) {
                Error(line, setting,
                      "\"" + utf8 + "\": " +
                          (level.empty() ? std::string("is not a relative path with a name at "
                                                       "every level")
                                         : "\"" + level + "\" " + problem));
                return false;
            }
            *joined += (joined->empty() ? "" : "\\") + level;
            if (end == std::string::npos) return true;
            start = end + 1;
        }
    }

    bool FolderWordOf(const toml::table& table, const char* key, const std::string& setting,
                      int32_t* folderKind) {
        std::string word;
        int line;
        if (!GetString(table, key, setting, &word, &line)) return true;
        if (ParseFolderWord(word, folderKind)) return true;
        Error(line, setting, "\"" + word + "\" is not a base folder (install, windows or system)");
        return false;
    }

    // A file on this machine, relative to the manifest's folder unless absolute.
    bool InputFile(const std::string& written, int line, const std::string& setting,
                   std::string* path) {
        *path = !written.empty() && written[0] == '/' ? written : m_.folder + written;
        if (written.empty() || !IsRegularFile(*path)) {
            Error(line, setting, "\"" + written + "\": no such file (looked for " + *path + ")");
            return false;
        }
        return true;
    }

    void Picture(const toml::table& table, const char* key, const std::string& setting, bool icon,
                 std::string* path) {
        std::string written;
        int line;
        if (!GetString(table, key, setting, &written, &line)) return;
        if (!InputFile(written, line, setting, path)) return;
        unsigned char head[16] = {};
        size_t got = 0;
        if (FILE* file = std::fopen(path->c_str(), "rb")) {
            got = std::fread(head, 1, sizeof head, file);
            std::fclose(file);
        }
        const char* format = PictureFormat(head, got);
        std::string is = format ? std::string("is a ") + format + " file" : "is no known picture";
        if (icon && !(format && std::string(format) == "ICO"))
            Error(line, setting,
                  "\"" + written + "\" " + is +
                      "; the installer loads an icon "
                      "file (.ico)");
        else if (icon) {
            std::ifstream in(*path, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            const std::string problem =
                IconProblem(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
            if (!problem.empty()) Error(line, setting, "\"" + written + "\" " + problem);
        } else if (!IsLoadablePicture(format))
            Error(line, setting,
                  "\"" + written + "\" " + is +
                      "; the installer's picture loader reads BMP, JPEG and GIF");
    }

    void ReadApplication(const toml::table& root) {
        const toml::table* app = GetTable(root, "application");
        if (!app) {
            if (!root.get("application"))
                Error(1, "application.name", "missing; every package needs a name");
            return;
        }
        CheckKeys(*app, "application.", {"name", "readme", "readme-folder", "run", "run-folder"});
        std::string text;
        int line = LineOf(*app);
        if (!GetString(*app, "name", "application.name", &text, &line)) {
            if (!app->get("name"))
                Error(line, "application.name", "missing; every package needs a name");
        } else if (text.empty()) {
            Error(line, "application.name", "is empty; every package needs a name");
        } else if (LineText(text, line, "application.name", package::kAppNameLimit,
                            SettingsItemWhere(layout::kAppName), &m_.appName)) {
            // The name becomes the default install folder and the program group's folder.
            std::string problem = NameProblem(text);
            if (!problem.empty())
                Error(line, "application.name",
                      problem + "; the name becomes the install folder and the program group");
        }
        struct PathSetting {
            const char* key;
            const char* folderKey;
            std::string* stored;
        };
        for (const PathSetting& s : {PathSetting{"readme", "readme-folder", &m_.readmeFile},
                                     PathSetting{"run", "run-folder", &m_.runProgram}}) {
            int32_t folderKind = package::kFolderInstall;
            const std::string folderSetting = std::string("application.") + s.folderKey;
            if (!FolderWordOf(*app, s.folderKey, folderSetting, &folderKind)) continue;
            const std::string setting = std::string("application.") + s.key;
            if (GetString(*app, s.key, setting, &text, &line))
                StoredPath(text, line, setting, folderKind, package::kNameRoom, s.stored);
            else if (const toml::node* node = app->get(s.folderKey); node && !app->get(s.key))
                Warn(LineOf(*node), folderSetting,
                     std::string("has no effect without application.") + s.key);
        }
    }

    void ReadPages(const toml::table& root) {
        const toml::table* pages = GetTable(root, "pages");
        if (!pages) return;
        const char* const* names = layout::kPageNames;
        CheckKeys(*pages, "pages.",
                  {names[layout::kWelcome], names[layout::kAgreement], "agreement-text",
                   names[layout::kFolder], names[layout::kProgress], names[layout::kFinish]});
        for (int page = 0; page < layout::kPages; ++page) {
            const char* name = layout::kPageNames[page];
            const std::string setting = std::string("pages.") + name;
            std::vector<std::string> lines;
            std::vector<int> sourceLines;
            GetStrings(*pages, name, setting, layout::kLinesPerPage, &lines, &sourceLines);
            for (size_t i = 0; i < lines.size(); ++i) {
                const int line = static_cast<int>(i);
                const std::string lineSetting = setting + "[" + std::to_string(i) + "]";
                const bool shown = layout::PageShowsLine(page, line);
                if (page == layout::kAgreement && line == layout::kAgreementTextLine)
                    AgreementText(lines[i], sourceLines[i], lineSetting);
                else
                    LineText(lines[i], sourceLines[i], lineSetting,
                             package::PageLineLimit(page, line),
                             SettingsItemWhere(layout::PageLineItem(page, line)),
                             &m_.pageTexts[page][i]);
                if (!shown && !lines[i].empty())
                    Warn(sourceLines[i], lineSetting,
                         std::string("the ") + name +
                             " page does not show this line; it is stored and has no effect");
            }
        }
        std::string file;
        int line;
        if (GetString(*pages, "agreement-text", "pages.agreement-text", &file, &line)) {
            std::string path;
            if (!m_.pageTexts[layout::kAgreement][layout::kAgreementTextLine].empty()) {
                Error(line, "pages.agreement-text",
                      "the agreement text is given twice, here and as pages.agreement[2]");
            } else if (InputFile(file, line, "pages.agreement-text", &path)) {
                std::ifstream in(path, std::ios::binary);
                std::string text((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
                if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
                AgreementText(text, line, "pages.agreement-text (" + file + ")");
            }
        }
    }

    // The agreement box: several lines, with the line ends the edit control needs.
    void AgreementText(const std::string& utf8, int line, const std::string& setting) {
        std::string gbk;
        if (!ToGbk(EditControlText(utf8), line, setting, &gbk)) return;
        const int item = layout::PageLineItem(layout::kAgreement, layout::kAgreementTextLine);
        std::string problem =
            LimitProblem(gbk, package::SettingsItemLimit(item), SettingsItemWhere(item));
        if (!problem.empty())
            Error(line, setting, problem + " (a line end counts as two)");
        else
            m_.pageTexts[layout::kAgreement][layout::kAgreementTextLine] = gbk;
    }

    void ReadUninstaller(const toml::table& root) {
        const toml::table* uninstaller = GetTable(root, "uninstaller");
        if (!uninstaller) return;
        CheckKeys(*uninstaller, "uninstaller.", {"texts"});
        std::vector<std::string> texts;
        std::vector<int> lines;
        GetStrings(*uninstaller, "texts", "uninstaller.texts", layout::kUninstallTexts, &texts,
                   &lines);
        for (size_t i = 0; i < texts.size(); ++i) {
            const std::string setting = "uninstaller.texts[" + std::to_string(i) + "]";
            std::string gbk;
            if (!ToGbk(texts[i], lines[i], setting, &gbk)) continue;
            std::string problem = ItemProblem(gbk);
            if (!problem.empty())
                Error(lines[i], setting, problem);
            else
                m_.uninstallTexts[i] = gbk;
        }
    }

    void ReadWizard(const toml::table& root) {
        const toml::table* wizard = GetTable(root, "wizard");
        if (!wizard) return;
        CheckKeys(*wizard, "wizard.", {"picture", "icon"});
        Picture(*wizard, "picture", "wizard.picture", false, &m_.picture);
        Picture(*wizard, "icon", "wizard.icon", true, &m_.icon);
    }

    void ReadBackground(const toml::table& root) {
        const toml::table* background = GetTable(root, "background");
        if (!background) return;
        CheckKeys(*background, "background.", {"show", "picture", "caption", "color", "title-bar"});
        GetBool(*background, "show", "background.show", &m_.showBackground);
        Picture(*background, "picture", "background.picture", false, &m_.backgroundPicture);
        if (!m_.backgroundPicture.empty() && !m_.showBackground)
            Warn(LineOf(*background->get("picture")), "background.picture",
                 "stored, but the installer shows it only with background.show = true");
        std::string text;
        int line;
        if (GetString(*background, "caption", "background.caption", &text, &line))
            LineText(text, line, "background.caption", package::kCaptionRoom, "",
                     &m_.backgroundCaption);
        if (GetString(*background, "color", "background.color", &text, &line) &&
            !ParseColorText(text, &m_.backgroundColor))
            Error(line, "background.color", "\"" + text + "\" is not a colour of the form #RRGGBB");
        GetBool(*background, "title-bar", "background.title-bar", &m_.backgroundHasCaption);
    }

    // Tables of a [[key]] list; nullptr (reported) when `key` is something else.
    const toml::array* TableList(const toml::table& root, const char* key, size_t most) {
        const toml::node* node = root.get(key);
        if (!node) return nullptr;
        const toml::array* array = node->as_array();
        if (!array || (!array->empty() && !array->is_array_of_tables())) {
            Error(LineOf(*node), key,
                  std::string("must be a list of tables, each one starting with [[") + key + "]]");
            return nullptr;
        }
        if (array->size() > most) {
            Error(LineOf(*array->get(most)), key,
                  "has " + std::to_string(array->size()) + " tables; the installer takes at most " +
                      std::to_string(most));
            return nullptr;
        }
        return array;
    }

    void ReadFileTypes(const toml::table& root) {
        const toml::array* types = TableList(root, "file-type", layout::kFileTypes);
        if (!types) return;
        std::string firstExtension;
        for (size_t i = 0; i < types->size(); ++i) {
            const toml::table& table = *types->get(i)->as_table();
            const std::string prefix = "file-type[" + std::to_string(i) + "].";
            CheckKeys(table, prefix, {"extension", "program", "program-folder"});
            FileTypeRule& type = m_.fileTypes[i];
            std::string text;
            int line = LineOf(table);
            if (!GetString(table, "extension", prefix + "extension", &text, &line)) {
                if (!table.get("extension")) Error(line, prefix + "extension", "missing");
            } else if (text.empty() || text.find('.') != std::string::npos ||
                       !NameProblem(text).empty()) {
                Error(line, prefix + "extension",
                      "\"" + text + "\" is not an extension (written without its dot, as \"txt\")");
            } else if (i == 1 && CaseFoldKey(text) == CaseFoldKey(firstExtension)) {
                Error(line, prefix + "extension", "\"" + text + "\" is associated twice");
            } else {
                LineText(text, line, prefix + "extension", package::kExtensionRoom, "",
                         &type.extension);
                firstExtension = text;
            }
            int32_t folderKind = package::kFolderInstall;
            FolderWordOf(table, "program-folder", prefix + "program-folder", &folderKind);
            line = LineOf(table);
            if (GetString(table, "program", prefix + "program", &text, &line))
                StoredPath(text, line, prefix + "program", folderKind, package::kProgramRoom,
                           &type.program);
            else if (!table.get("program"))
                Error(line, prefix + "program", "missing; which program opens the type?");
        }
    }

    void ReadCompression(const toml::table& root) {
        const toml::table* table = GetTable(root, "compression");
        if (!table) return;
        CheckKeys(*table, "compression.", {"method", "level"});
        std::string text;
        int line = LineOf(*table);
        if (GetString(*table, "method", "compression.method", &text, &line)) {
            if (text == "lzw")
                m_.method = Compression::Lzw;
            else if (text == "lzma")
                m_.method = Compression::Lzma;
            else if (text == "lzma-solid")
                m_.method = Compression::Solid;
            else
                Error(line, "compression.method",
                      "\"" + text + "\" is not a method (lzw, lzma or lzma-solid)");
        }
        if (const toml::node* level =
                Get(*table, "level", "compression.level", toml::node_type::integer, "a number")) {
            const int64_t value = level->as_integer()->get();
            if (value < 0 || value > 9)
                Error(LineOf(*level), "compression.level",
                      "is " + std::to_string(value) + "; the LZMA levels are 0 to 9");
            else
                m_.level = static_cast<int>(value);
        }
    }

    // `compress`: true (LZW), false (stored), or a method's name.
    void ReadCompress(const toml::table& table, const std::string& setting, FileRule* rule) {
        rule->compression = m_.method;
        const toml::node* node = table.get("compress");
        if (!node) return;
        if (node->is_boolean()) {
            rule->compression = node->as_boolean()->get() ? Compression::Lzw : Compression::Stored;
        } else if (node->is_string() && node->as_string()->get() == "lzw") {
            rule->compression = Compression::Lzw;
        } else if (node->is_string() && node->as_string()->get() == "lzma") {
            rule->compression = Compression::Lzma;
        } else {
            Error(LineOf(*node), setting,
                  "must be true, false, \"lzw\" or \"lzma\" (the solid stream is chosen with "
                  "[compression] method = \"lzma-solid\")");
        }
    }

    void ReadFiles(const toml::table& root) {
        const toml::array* files = TableList(root, "files", SIZE_MAX);
        if (!files) return;
        for (size_t i = 0; i < files->size(); ++i) {
            const toml::table& table = *files->get(i)->as_table();
            FileRule rule;
            rule.setting = "files[" + std::to_string(i) + "]";
            rule.line = LineOf(table);
            const std::string prefix = rule.setting + ".";
            CheckKeys(table, prefix,
                      {"source", "base", "subfolder", "shortcuts", "overwrite", "compress"});
            rule.sourceLine = rule.line;
            if (!GetString(table, "source", prefix + "source", &rule.source, &rule.sourceLine)) {
                if (!table.get("source"))
                    Error(rule.line, prefix + "source", "missing; which files?");
            } else if (rule.source.empty()) {
                Error(rule.sourceLine, prefix + "source", "is empty; which files?");
            }
            int line = rule.line;
            FolderWordOf(table, "base", prefix + "base", &rule.folderKind);
            std::string text;
            if (GetString(table, "subfolder", prefix + "subfolder", &text, &line)) {
                while (!text.empty() && (text.back() == '/' || text.back() == '\\'))
                    text.pop_back();
                std::string gbk;
                if (!text.empty() &&
                    RelativePath(text, line, prefix + "subfolder", &rule.subFolder) &&
                    ToGbk(rule.subFolder, line, prefix + "subfolder", &gbk)) {
                    std::string problem = LimitProblem(gbk, package::kNameRoom);
                    if (!problem.empty()) Error(line, prefix + "subfolder", problem);
                }
            }
            std::vector<std::string> words;
            std::vector<int> lines;
            GetStrings(table, "shortcuts", prefix + "shortcuts", 3, &words, &lines);
            for (size_t k = 0; k < words.size(); ++k) {
                int32_t bit = 0;
                if (ParseShortcutWord(words[k], &bit))
                    rule.shortcutFlags |= bit;
                else
                    Error(lines[k], prefix + "shortcuts[" + std::to_string(k) + "]",
                          "\"" + words[k] +
                              "\" is not a shortcut kind (desktop, start-menu or program-group)");
            }
            if (GetString(table, "overwrite", prefix + "overwrite", &text, &line) &&
                !ParseOverwriteWord(text, &rule.overwriteMode))
                Error(line, prefix + "overwrite",
                      "\"" + text + "\" is not an overwrite mode (always, if-missing or ask)");
            ReadCompress(table, prefix + "compress", &rule);
            m_.files.push_back(rule);
        }
    }

    Manifest& m_;
    std::vector<std::string>& errors_;
};
}  // namespace

std::string ManifestMessage(const Manifest& manifest, int line, const std::string& setting,
                            const std::string& text) {
    return manifest.path + ":" + std::to_string(line) + ": " + setting + ": " + text;
}

bool ReadManifest(const std::string& path, Manifest* manifest, std::vector<std::string>* errors) {
    *manifest = Manifest();
    manifest->path = path;
    const size_t slash = path.rfind('/');
    manifest->folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    if (!IsRegularFile(path)) {
        errors->push_back(path + ": no such manifest file");
        return false;
    }
    toml::table root;
    try {
        root = toml::parse_file(path);
    } catch (const toml::parse_error& error) {
        errors->push_back(path + ":" + std::to_string(error.source().begin.line) +
                          ": not valid TOML: " + std::string(error.description()));
        return false;
    }
    const size_t before = errors->size();
    Reader(manifest, errors).Read(root);
    return errors->size() == before;
}

}  // namespace sfxpack
