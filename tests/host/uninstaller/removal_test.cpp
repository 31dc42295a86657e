#include "uninstaller/removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "package/install_records.h"

namespace {

using unwise::EntryKind;
using unwise::LinkFolder;
using unwise::Subject;
using unwise::ValueKind;
using unwise::Verdict;

std::string Fold(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

constexpr platform::ErrorCode kInUse = 32;
constexpr platform::ErrorCode kNotEmpty = 145;

// The machine as a few maps: files and folders by path (case folded), links by folder and
// name, registry keys by name. Every change is recorded in `actions`, in order.
class FakeSystem : public unwise::UninstallSystem {
public:
    FakeSystem() {
        linkFolders[0] = "C:\\Users\\me\\Desktop";
        linkFolders[1] = "C:\\Users\\me\\Start Menu";
        linkFolders[2] = "C:\\Users\\me\\Start Menu\\Programs\\App";
    }

    void File(const std::string& path) { entries[Fold(path)] = EntryKind::File; }
    void Folder(const std::string& path) { entries[Fold(path)] = EntryKind::Folder; }
    void Reparse(const std::string& path) { entries[Fold(path)] = EntryKind::ReparsePoint; }
    bool Has(const std::string& path) const { return entries.count(Fold(path)) > 0; }
    void Link(LinkFolder folder, const std::string& name, const std::string& target) {
        links[{static_cast<int>(folder), Fold(name)}] = target;
    }
    bool HasLink(LinkFolder folder, const std::string& name) const {
        return links.count({static_cast<int>(folder), Fold(name)}) > 0;
    }
    void Value(const std::string& key, const std::string& value) {
        keys[Fold(key)];
        values[Fold(key)] = value;
    }
    void Key(const std::string& key) { keys[Fold(key)]; }
    bool HasKey(const std::string& key) const { return keys.count(Fold(key)) > 0; }
    bool HasValue(const std::string& key) const { return values.count(Fold(key)) > 0; }

    bool FullPath(const char* path, char* full, size_t room) override {
        std::string resolved = path;
        auto found = shortNames.find(Fold(path));
        if (found != shortNames.end()) resolved = found->second;
        if (resolved.size() + 1 > room) return false;
        std::copy(resolved.begin(), resolved.end(), full);
        full[resolved.size()] = '\0';
        return true;
    }
    EntryKind Probe(const char* path, platform::ErrorCode* error) override {
        if (unreadable.count(Fold(path))) {
            *error = 5;
            return EntryKind::Unknown;
        }
        auto found = entries.find(Fold(path));
        return found == entries.end() ? EntryKind::Missing : found->second;
    }
    bool UnregisterControl(const char* path) override {
        if (changedControls.count(Fold(path))) return false;
        actions.push_back("unregister " + std::string(path));
        return true;
    }
    bool RemoveFile(const char* path, platform::ErrorCode* error) override {
        if (held.count(Fold(path))) {
            *error = kInUse;
            return false;
        }
        actions.push_back("remove " + std::string(path));
        entries.erase(Fold(path));
        return true;
    }
    bool RemoveFolder(const char* path, platform::ErrorCode* error) override {
        const std::string prefix = Fold(path) + "\\";
        for (const auto& entry : entries)
            if (entry.first.compare(0, prefix.size(), prefix) == 0) {
                *error = kNotEmpty;
                return false;
            }
        actions.push_back("rmdir " + std::string(path));
        entries.erase(Fold(path));
        return true;
    }
    bool HoldsOthers(const char* folder) override {
        const std::string prefix = Fold(folder) + "\\";
        for (const auto& entry : entries) {
            if (entry.first.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string name = entry.first.substr(prefix.size());
            if (name != "unwise.exe" && name != "setup.log" && name != "setup.lst") return true;
        }
        return false;
    }
    int LinkFolderForms(LinkFolder folder, const char* forms[2]) override {
        const std::string& form = linkFolders[static_cast<int>(folder)];
        if (form.empty()) return 0;
        forms[0] = form.c_str();
        return 1;
    }
    EntryKind ProbeLink(LinkFolder folder, const char* name, char* target, size_t room,
                        platform::ErrorCode*) override {
        target[0] = '\0';
        auto found = links.find({static_cast<int>(folder), Fold(name)});
        if (found == links.end()) return EntryKind::Missing;
        if (found->second == "<folder>") return EntryKind::Folder;
        snprintf(target, room, "%s", found->second.c_str());
        return EntryKind::File;
    }
    bool RemoveLink(LinkFolder folder, const char* name, platform::ErrorCode* error) override {
        if (held.count(Fold(name))) {
            *error = kInUse;
            return false;
        }
        actions.push_back("unlink " + std::to_string(static_cast<int>(folder)) + " " + name);
        links.erase({static_cast<int>(folder), Fold(name)});
        return true;
    }
    void ListLinks(LinkFolder folder, package::LineList* names) override {
        for (const auto& link : links)
            if (link.first.first == static_cast<int>(folder) && link.first.second.size() > 4 &&
                link.first.second.compare(link.first.second.size() - 4, 4, ".lnk") == 0)
                names->Add(link.first.second.c_str());
    }
    bool RemoveGroupFolder(platform::ErrorCode*) override {
        for (const auto& link : links)
            if (link.first.first == static_cast<int>(LinkFolder::Group)) return false;
        actions.push_back("rmdir group");
        return true;
    }
    ValueKind ReadDefaultValue(const char* key, char* value, size_t room) override {
        auto found = values.find(Fold(key));
        if (found == values.end()) return ValueKind::Missing;
        snprintf(value, room, "%s", found->second.c_str());
        return ValueKind::Text;
    }
    Restore RestoreReplacedValue(const char* key, platform::ErrorCode*) override {
        auto found = kept.find(Fold(key));
        if (found == kept.end()) return Restore::NothingKept;
        actions.push_back("restore " + std::string(key));
        values[Fold(key)] = found->second;
        kept.erase(found);
        return Restore::Restored;
    }
    bool DeleteDefaultValue(const char* key, platform::ErrorCode* error) override {
        if (lockedValues.count(Fold(key))) {
            *error = 5;
            return false;
        }
        actions.push_back("delete value " + std::string(key));
        values.erase(Fold(key));
        return true;
    }
    void DeleteKeyIfEmpty(const char* key) override {
        const std::string name = Fold(key);
        if (!keys.count(name) || values.count(name) || otherValues.count(name)) return;
        const std::string prefix = name + "\\";
        for (const auto& other : keys)
            if (other.first.compare(0, prefix.size(), prefix) == 0) return;
        actions.push_back("delete key " + std::string(key));
        keys.erase(name);
    }
    bool HoldsOnlyDefaultValue(const char* key) override {
        const std::string name = Fold(key);
        if (!values.count(name) || otherValues.count(name)) return false;
        const std::string prefix = name + "\\";
        for (const auto& other : keys)
            if (other.first.compare(0, prefix.size(), prefix) == 0) return false;
        return true;
    }
    bool OtherApplicationIn(const char* folder, char* name, size_t room) override {
        auto found = otherEntries.find(Fold(folder));
        if (found == otherEntries.end()) return false;
        snprintf(name, room, "%s", found->second.c_str());
        return true;
    }
    bool RemoveUninstallEntry(platform::ErrorCode* error) override {
        if (!entryRemovable) {
            *error = 5;
            return false;
        }
        actions.push_back("remove entry");
        return true;
    }

    std::map<std::string, EntryKind> entries;
    std::map<std::string, std::string> shortNames;
    std::map<std::string, std::string> otherEntries;  // install folder -> application
    std::set<std::string> held, unreadable, lockedValues, otherValues, changedControls;
    std::map<std::string, std::string> kept;  // what the installation replaced, by key
    std::map<std::pair<int, std::string>, std::string> links;
    std::string linkFolders[3];
    std::map<std::string, std::string> values;
    std::map<std::string, int> keys;
    bool entryRemovable = true;
    std::vector<std::string> actions;
};

class NullView : public unwise::UninstallView {
public:
    void ShowCurrent(const char* text) override { shown.push_back(text); }
    void KeepAlive() override {}
    std::vector<std::string> shown;
};

struct Stayed {
    Subject subject;
    Verdict verdict;
    std::string text;
    bool operator==(const Stayed& other) const {
        return subject == other.subject && verdict == other.verdict && text == other.text;
    }
};

std::ostream& operator<<(std::ostream& out, const Stayed& s) {
    return out << static_cast<int>(s.subject) << "/" << static_cast<int>(s.verdict) << " "
               << s.text;
}

class RemovalTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.Folder("C:\\App");
        system.File("C:\\App\\unwise.exe");
        system.File("C:\\App\\setup.log");
        system.File("C:\\App\\setup.lst");
        input.installFolder = "C:\\App";
        input.windowsFolder = "C:\\Windows";
        input.systemFolder = "C:\\Windows\\System32";
        input.log = &log;
    }

    // A file the installation wrote: in the log and the list, and on the disk.
    void Installed(const std::string& path) {
        log.files.Add(path.c_str());
        written.Add(path.c_str());
        system.File(path);
    }

    void Run(bool withList = true) {
        input.written = withList ? &written : nullptr;
        removal = std::make_unique<unwise::Removal>(input, system);
        removal->Run(view);
    }

    std::vector<Stayed> StayedItems() const {
        std::vector<Stayed> items;
        const unwise::Report& report = removal->report();
        for (int32_t i = 0; i < report.count(); ++i)
            items.push_back({report.entry(i).subject, report.entry(i).verdict, report.text(i)});
        return items;
    }

    FakeSystem system;
    NullView view;
    package::InstallLog log;
    package::LineList written;
    unwise::RemovalInput input;
    std::unique_ptr<unwise::Removal> removal;
};

TEST_F(RemovalTest, RemovesWhatTheInstallationWroteAndTheFoldersItLeavesEmpty) {
    system.Folder("C:\\App\\bin");
    system.Folder("C:\\App\\bin\\deep");
    Installed("C:\\App\\readme.txt");
    Installed("C:\\App\\bin\\app.exe");
    Installed("C:\\App\\bin\\deep\\data.bin");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(StayedItems().empty());
    EXPECT_FALSE(system.Has("C:\\App\\readme.txt"));
    EXPECT_FALSE(system.Has("C:\\App\\bin\\app.exe"));
    // Deepest first, and never the install folder (it holds unwise.exe now).
    const std::vector<std::string>& a = system.actions;
    auto deep = std::find(a.begin(), a.end(), "rmdir C:\\App\\bin\\deep");
    auto bin = std::find(a.begin(), a.end(), "rmdir C:\\App\\bin");
    ASSERT_NE(deep, a.end());
    ASSERT_NE(bin, a.end());
    EXPECT_LT(deep, bin);
    EXPECT_TRUE(system.Has("C:\\App"));
    EXPECT_TRUE(system.Has("C:\\App\\unwise.exe"));
    EXPECT_EQ(a.back(), "remove entry");
}

TEST_F(RemovalTest, KeepsAFileTheInstallationKept) {
    // Logged (the package holds it) but not listed (it existed, "if missing" kept it).
    log.files.Add("C:\\App\\keep.txt");
    system.File("C:\\App\\keep.txt");
    Installed("C:\\App\\a.txt");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(system.Has("C:\\App\\keep.txt"));
    EXPECT_FALSE(system.Has("C:\\App\\a.txt"));
    // The install folder stays after the uninstaller: it is named.
    EXPECT_EQ(StayedItems(),
              (std::vector<Stayed>{{Subject::Folder, Verdict::NotEmpty, "C:\\App"}}));
}

TEST_F(RemovalTest, WithoutItsListNoFileGoesButTheLinksToTheFolderDo) {
    // The list was lost: the log alone names the user's file the installation kept as well.
    log.files.Add("C:\\App\\app.exe");
    system.File("C:\\App\\app.exe");
    log.files.Add("C:\\App\\config.ini");
    system.File("C:\\App\\config.ini");
    log.files.Add("C:\\Other\\b.txt");
    log.links.Add("C:\\Users\\me\\Desktop\\app.lnk");
    system.Link(LinkFolder::Desktop, "app.lnk", "C:\\App\\app.exe");
    // Named as the installer names links, to a logged file: without a list, no proof.
    system.Link(LinkFolder::Desktop, "config.lnk", "C:\\App\\config.ini");
    Run(false);
    EXPECT_TRUE(system.Has("C:\\App\\app.exe"));
    EXPECT_TRUE(system.Has("C:\\App\\config.ini"));
    EXPECT_FALSE(system.HasLink(LinkFolder::Desktop, "app.lnk"));
    EXPECT_TRUE(system.HasLink(LinkFolder::Desktop, "config.lnk"));
    EXPECT_FALSE(removal->done());
    EXPECT_EQ(StayedItems(),
              (std::vector<Stayed>{{Subject::File, Verdict::Unlisted, "C:\\App\\app.exe"},
                                   {Subject::File, Verdict::Unlisted, "C:\\App\\config.ini"},
                                   {Subject::File, Verdict::Outside, "C:\\Other\\b.txt"}}));
    // Named once: the next run's records hold none of them, and it can finish.
    package::InstallLog left;
    package::LineList files;
    ASSERT_TRUE(removal->Remaining(&left, &files));
    EXPECT_EQ(left.files.count(), 0);
    EXPECT_EQ(files.count(), 0);
}

TEST_F(RemovalTest, AnotherApplicationsFolderIsLeftWhole) {
    Installed("C:\\App\\a.txt");
    log.links.Add("C:\\Users\\me\\Desktop\\a.lnk");
    system.Link(LinkFolder::Desktop, "a.lnk", "C:\\App\\a.txt");
    system.otherEntries[Fold("C:\\App")] = "Other App";
    Run();
    EXPECT_TRUE(system.actions.empty());
    EXPECT_FALSE(removal->done());
    EXPECT_EQ(StayedItems(), (std::vector<Stayed>{{Subject::Application,
                                                   Verdict::OtherApplication, "Other App"}}));
    package::InstallLog left;
    package::LineList files;
    EXPECT_FALSE(removal->Remaining(&left, &files));
}

TEST_F(RemovalTest, LeavesAndNamesTheFilesOfTheWindowsAndSystemFolders) {
    Installed("C:\\Windows\\System32\\grid.dll");
    Installed("C:\\Windows\\demo.ini");
    // A shared file that is gone already is not named.
    written.Add("C:\\Windows\\gone.ini");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(system.Has("C:\\Windows\\System32\\grid.dll"));
    EXPECT_EQ(
        StayedItems(),
        (std::vector<Stayed>{{Subject::File, Verdict::Shared, "C:\\Windows\\System32\\grid.dll"},
                             {Subject::File, Verdict::Shared, "C:\\Windows\\demo.ini"}}));
}

TEST_F(RemovalTest, NeverTouchesWhatAnEditedListNamesOutsideTheInstallFolder) {
    system.Folder("C:\\Users\\me\\Documents");
    system.File("C:\\Users\\me\\Documents\\letter.doc");
    system.File("C:\\App.txt");
    system.Folder("C:\\App\\mine");
    system.File("C:\\App\\mine\\notes.txt");
    system.File("D:\\App\\a.txt");
    for (const char* path :
         {"C:\\Users\\me\\Documents\\letter.doc", "C:\\App\\..\\App.txt", "C:\\App\\mine",
          "D:\\App\\a.txt", "C:\\Apple\\a.txt", "\\\\?\\C:\\App\\mine\\notes.txt",
          "C:\\App\\mine\\*.txt", "C:\\App\\mine\\notes.txt:stream", "C:\\App\\mine\\notes.txt."})
        written.Add(path);
    Run();
    EXPECT_TRUE(system.Has("C:\\Users\\me\\Documents\\letter.doc"));
    EXPECT_TRUE(system.Has("C:\\App.txt"));
    EXPECT_TRUE(system.Has("C:\\App\\mine"));
    EXPECT_TRUE(system.Has("C:\\App\\mine\\notes.txt"));
    EXPECT_TRUE(system.Has("D:\\App\\a.txt"));
    // Refused is not done: the run says so, and the next one's records no longer hold them.
    EXPECT_FALSE(removal->done());
    package::InstallLog left;
    package::LineList files;
    ASSERT_TRUE(removal->Remaining(&left, &files));
    EXPECT_EQ(files.count(), 0);
    const std::vector<Stayed> stayed = StayedItems();
    const std::vector<Stayed> want = {
        {Subject::File, Verdict::Outside, "C:\\Users\\me\\Documents\\letter.doc"},
        {Subject::File, Verdict::NotPlain, "C:\\App\\..\\App.txt"},
        {Subject::File, Verdict::NotAFile, "C:\\App\\mine"},
        {Subject::File, Verdict::Outside, "D:\\App\\a.txt"},
        {Subject::File, Verdict::Outside, "C:\\Apple\\a.txt"},
        {Subject::File, Verdict::NotPlain, "\\\\?\\C:\\App\\mine\\notes.txt"},
        {Subject::File, Verdict::NotPlain, "C:\\App\\mine\\*.txt"},
        {Subject::File, Verdict::NotPlain, "C:\\App\\mine\\notes.txt:stream"},
        {Subject::File, Verdict::NotPlain, "C:\\App\\mine\\notes.txt."}};
    EXPECT_EQ(stayed, want);
}

TEST_F(RemovalTest, ComparesThePathsAsWindowsResolvesThem) {
    // The log names the folder by its short name; Windows resolves both to the long one.
    system.shortNames[Fold("C:\\APP~1\\a.txt")] = "C:\\App\\a.txt";
    system.File("C:\\App\\a.txt");
    written.Add("C:\\APP~1\\a.txt");
    written.Add("c:\\app\\B.TXT");
    system.File("C:\\App\\b.txt");
    Run();
    EXPECT_FALSE(system.Has("C:\\App\\a.txt"));
    EXPECT_FALSE(system.Has("C:\\App\\b.txt"));
    EXPECT_TRUE(removal->done());
}

TEST_F(RemovalTest, NeverGoesThroughAReparsePoint) {
    system.Reparse("C:\\App\\junction");
    system.File("C:\\App\\junction\\a.txt");  // what the junction shows: another folder's file
    Installed("C:\\App\\link.txt");
    system.Reparse("C:\\App\\link.txt");
    written.Add("C:\\App\\junction\\a.txt");
    Run();
    EXPECT_TRUE(system.Has("C:\\App\\junction\\a.txt"));
    EXPECT_TRUE(system.Has("C:\\App\\link.txt"));
    EXPECT_EQ(StayedItems(),
              (std::vector<Stayed>{{Subject::File, Verdict::NotAFile, "C:\\App\\link.txt"},
                                   {Subject::File, Verdict::NotAFile, "C:\\App\\junction\\a.txt"}}));
}

TEST_F(RemovalTest, LeavesTheUninstallersOwnFilesForTheEnd) {
    written.Add("C:\\App\\unwise.exe");
    written.Add("C:\\App\\SETUP.LOG");
    Run();
    EXPECT_TRUE(system.Has("C:\\App\\unwise.exe"));
    EXPECT_TRUE(system.Has("C:\\App\\setup.log"));
    EXPECT_TRUE(removal->done());
}

TEST_F(RemovalTest, UnregistersAControlBeforeRemovingIt) {
    Installed("C:\\App\\grid.OCX");
    Run();
    const std::vector<std::string>& a = system.actions;
    ASSERT_GE(a.size(), 2u);
    EXPECT_EQ(a[0], "unregister C:\\App\\grid.OCX");
    EXPECT_EQ(a[1], "remove C:\\App\\grid.OCX");
}

TEST_F(RemovalTest, AFileInUseStaysAndIsKeptForTheNextRun) {
    system.Folder("C:\\App\\bin");
    Installed("C:\\App\\bin\\app.exe");
    Installed("C:\\App\\bin\\app.dll");
    Installed("C:\\Windows\\demo.ini");
    log.types.Add("abc");
    system.Value(".abc", "abcfile");
    system.held.insert(Fold("C:\\App\\bin\\app.exe"));
    Run();
    EXPECT_FALSE(removal->done());
    EXPECT_TRUE(system.Has("C:\\App\\bin\\app.exe"));
    EXPECT_FALSE(system.Has("C:\\App\\bin\\app.dll"));
    EXPECT_TRUE(system.Has("C:\\App\\bin"));
    ASSERT_GE(removal->report().count(), 1);
    EXPECT_EQ(removal->report().entry(0).error, kInUse);
    // Nothing of the end: the entry, the uninstaller's link stay for the next run.
    EXPECT_EQ(std::count(system.actions.begin(), system.actions.end(), "remove entry"), 0);

    package::InstallLog remaining;
    package::LineList files;
    ASSERT_TRUE(removal->Remaining(&remaining, &files));
    ASSERT_EQ(files.count(), 2);
    EXPECT_STREQ(files.at(0), "C:\\App\\bin\\app.exe");
    EXPECT_STREQ(files.at(1), "C:\\Windows\\demo.ini");
    EXPECT_EQ(remaining.files.count(), 2);
    EXPECT_EQ(remaining.types.count(), 0);
    EXPECT_EQ(remaining.links.count(), 0);

    // The program ended: the next run with what was left removes the rest.
    system.held.clear();
    system.actions.clear();
    input.log = &remaining;
    input.written = &files;
    unwise::Removal again(input, system);
    again.Run(view);
    EXPECT_TRUE(again.done());
    EXPECT_FALSE(system.Has("C:\\App\\bin\\app.exe"));
    EXPECT_FALSE(system.Has("C:\\App\\bin"));
    EXPECT_EQ(system.actions.back(), "remove entry");
}

TEST_F(RemovalTest, AnUnreadableFolderOnTheWayCounts) {
    system.unreadable.insert(Fold("C:\\App\\locked"));
    Installed("C:\\App\\locked\\a.txt");
    Run();
    EXPECT_FALSE(removal->done());
    EXPECT_EQ(StayedItems(),
              (std::vector<Stayed>{{Subject::File, Verdict::Failed, "C:\\App\\locked\\a.txt"}}));
}

TEST_F(RemovalTest, AFileThatIsGoneAlreadyDoesNotCount) {
    written.Add("C:\\App\\gone.txt");
    written.Add("C:\\App\\gone\\deeper.txt");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(StayedItems().empty());
}

TEST_F(RemovalTest, AFolderOfTheUsersStaysAndIsNamed) {
    system.Folder("C:\\App\\data");
    Installed("C:\\App\\data\\a.dat");
    system.File("C:\\App\\data\\mine.txt");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(system.Has("C:\\App\\data\\mine.txt"));
    EXPECT_EQ(StayedItems(),
              (std::vector<Stayed>{{Subject::Folder, Verdict::NotEmpty, "C:\\App\\data"},
                                   {Subject::Folder, Verdict::NotEmpty, "C:\\App"}}));
}

TEST_F(RemovalTest, RemovesOnlyTheFoldersOfRemovedFiles) {
    // An empty folder of the user's that an edited list names a file in: no file was removed
    // there, so the folder is not looked at.
    system.Folder("C:\\App\\empty");
    written.Add("C:\\App\\empty\\nothing.txt");
    Run();
    EXPECT_TRUE(system.Has("C:\\App\\empty"));
}

// ---- links ---------------------------------------------------------------------------------

TEST_F(RemovalTest, RemovesTheLinksToTheInstallFolderAndTheUninstallersLinkLast) {
    Installed("C:\\App\\app.exe");
    system.Link(LinkFolder::Desktop, "app.lnk", "C:\\App\\app.exe");
    system.Link(LinkFolder::StartMenu, "app.lnk", "C:\\App\\app.exe");
    system.Link(LinkFolder::Group, "app.lnk", "C:\\App\\app.exe");
    system.Link(LinkFolder::Group, "unwise.lnk", "C:\\App\\unwise.exe");
    log.links.Add("C:\\Users\\me\\Desktop\\app.lnk");
    log.links.Add("C:\\Users\\me\\Start Menu\\app.lnk");
    log.links.Add("C:\\Users\\me\\Start Menu\\Programs\\App\\app.lnk");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(system.links.empty());
    const std::vector<std::string> want = {
        "unlink 0 app.lnk",    "unlink 1 app.lnk", "unlink 2 app.lnk", "remove C:\\App\\app.exe",
        "unlink 2 unwise.lnk", "rmdir group",      "remove entry"};
    EXPECT_EQ(system.actions, want);
}

TEST_F(RemovalTest, RemovesTheLinksOfAnEarlierInstallationIntoTheFolder) {
    // The update's log names only its own links; the list names the files of both.
    Installed("C:\\App\\bin\\viewer.exe");
    Installed("C:\\App\\tool.v2.exe");
    system.Link(LinkFolder::Group, "viewer.lnk", "C:\\App\\bin\\viewer.exe");
    system.Link(LinkFolder::Desktop, "tool.lnk", "C:\\App\\tool.v2.exe");
    // Not named as the installer names links, or not to a file the installation wrote.
    system.Link(LinkFolder::Desktop, "my viewer.lnk", "C:\\App\\bin\\viewer.exe");
    system.Link(LinkFolder::Desktop, "notes.lnk", "C:\\App\\notes.txt");
    system.Link(LinkFolder::StartMenu, "viewer.lnk", "C:\\Other\\viewer.exe");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_FALSE(system.HasLink(LinkFolder::Group, "viewer.lnk"));
    EXPECT_FALSE(system.HasLink(LinkFolder::Desktop, "tool.lnk"));
    EXPECT_TRUE(system.HasLink(LinkFolder::Desktop, "my viewer.lnk"));
    EXPECT_TRUE(system.HasLink(LinkFolder::Desktop, "notes.lnk"));
    EXPECT_TRUE(system.HasLink(LinkFolder::StartMenu, "viewer.lnk"));
}

TEST_F(RemovalTest, FindsALinkWhoseFolderGbkCouldNotHold) {
    // The desktop of C:\Users\김민수: the log has '?' where the name was, as the system's form.
    system.linkFolders[0] = "C:\\Users\\???\\Desktop";
    system.Link(LinkFolder::Desktop, "app.lnk", "C:\\App\\app.exe");
    log.links.Add("C:\\Users\\???\\Desktop\\app.lnk");
    Run();
    EXPECT_FALSE(system.HasLink(LinkFolder::Desktop, "app.lnk"));
}

TEST_F(RemovalTest, LeavesLinksThatAreNotOurs) {
    system.Link(LinkFolder::Desktop, "other.lnk", "C:\\Other\\other.exe");
    system.Link(LinkFolder::Desktop, "folder.lnk", "<folder>");
    system.Link(LinkFolder::Desktop, "app.exe", "C:\\App\\app.exe");
    system.Link(LinkFolder::Desktop, "up.lnk", "C:\\App\\..\\Other\\x.exe");
    for (const char* line :
         {"C:\\Users\\me\\Desktop\\other.lnk", "C:\\Users\\me\\Desktop\\folder.lnk",
          "C:\\Users\\me\\Desktop\\app.exe", "C:\\Users\\me\\Documents\\app.lnk",
          "C:\\Users\\me\\Desktop\\..\\Documents\\app.lnk", "C:\\Users\\me\\Desktop\\up.lnk",
          "app.lnk", "C:\\Users\\me\\Desktop\\sub\\app.lnk"})
        log.links.Add(line);
    Run();
    EXPECT_FALSE(removal->done());
    EXPECT_EQ(system.links.size(), 4u);
    const std::vector<Stayed> want = {
        {Subject::Link, Verdict::LinkTarget, "C:\\Users\\me\\Desktop\\other.lnk"},
        {Subject::Link, Verdict::NotAFile, "C:\\Users\\me\\Desktop\\folder.lnk"},
        {Subject::Link, Verdict::NotOurLink, "C:\\Users\\me\\Desktop\\app.exe"},
        {Subject::Link, Verdict::NotOurLink, "C:\\Users\\me\\Documents\\app.lnk"},
        {Subject::Link, Verdict::NotOurLink, "C:\\Users\\me\\Desktop\\..\\Documents\\app.lnk"},
        {Subject::Link, Verdict::LinkTarget, "C:\\Users\\me\\Desktop\\up.lnk"},
        {Subject::Link, Verdict::NotOurLink, "app.lnk"},
        {Subject::Link, Verdict::NotOurLink, "C:\\Users\\me\\Desktop\\sub\\app.lnk"}};
    EXPECT_EQ(StayedItems(), want);
}

TEST_F(RemovalTest, AGroupOfAnApplicationNameThatIsNoNameHasNoLinks) {
    system.linkFolders[2] = "";
    system.Link(LinkFolder::Group, "unwise.lnk", "C:\\App\\unwise.exe");
    log.links.Add("C:\\Users\\me\\Start Menu\\Programs\\..\\app.lnk");
    Run();
    EXPECT_TRUE(system.HasLink(LinkFolder::Group, "unwise.lnk"));
    EXPECT_EQ(std::count(system.actions.begin(), system.actions.end(), "rmdir group"), 0);
}

TEST_F(RemovalTest, KeepsTheGroupWhenSomethingStayed) {
    Installed("C:\\App\\app.exe");
    system.held.insert(Fold("C:\\App\\app.exe"));
    system.Link(LinkFolder::Group, "unwise.lnk", "C:\\App\\unwise.exe");
    Run();
    EXPECT_FALSE(removal->done());
    EXPECT_TRUE(system.HasLink(LinkFolder::Group, "unwise.lnk"));
}

TEST_F(RemovalTest, ALinkInUseCountsAndIsKeptForTheNextRun) {
    system.Link(LinkFolder::Desktop, "app.lnk", "C:\\App\\app.exe");
    system.held.insert("app.lnk");
    log.links.Add("C:\\Users\\me\\Desktop\\app.lnk");
    Run();
    EXPECT_FALSE(removal->done());
    package::InstallLog remaining;
    package::LineList files;
    ASSERT_TRUE(removal->Remaining(&remaining, &files));
    ASSERT_EQ(remaining.links.count(), 1);
    EXPECT_STREQ(remaining.links.at(0), "C:\\Users\\me\\Desktop\\app.lnk");
}

// ---- file types ----------------------------------------------------------------------------

// As the installer writes a type; `quoted` false: as installations before the quoted command.
void Associate(FakeSystem& system, const std::string& extension, const std::string& program,
               bool quoted = true) {
    const std::string cls = extension + "file";
    system.Value("." + extension, cls);
    system.Key(cls);
    system.Value(cls + "\\DefaultIcon", program + ",0");
    system.Key(cls + "\\shell");
    system.Key(cls + "\\shell\\open");
    system.Value(cls + "\\shell\\open\\command",
                 quoted ? "\"" + program + "\" \"%1\"" : program + " %1");
}

TEST_F(RemovalTest, RemovesAFileTypeOfItsOwnWhole) {
    Installed("C:\\App\\viewer.exe");
    Associate(system, "abc", "C:\\App\\viewer.exe");
    Associate(system, "old", "C:\\App\\viewer.exe", false);
    log.types.Add("abc");
    log.types.Add("old");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(system.keys.empty());
    EXPECT_TRUE(system.values.empty());
}

TEST_F(RemovalTest, LeavesWindowsOwnClassButTakesItsValues) {
    // Windows' txtfile: a name, and a print command; the installer replaced the open command.
    system.Value("txtfile", "Text Document");
    system.Value("txtfile\\shell\\print\\command", "notepad.exe /p %1");
    Associate(system, "txt", "C:\\App\\viewer.exe");
    log.types.Add("txt");
    Run();
    EXPECT_TRUE(removal->done());
    // Under Wine ".txt" held nothing before: the installer made it, and it goes.
    EXPECT_FALSE(system.HasKey(".txt"));
    EXPECT_FALSE(system.HasKey("txtfile\\DefaultIcon"));
    EXPECT_FALSE(system.HasKey("txtfile\\shell\\open"));
    EXPECT_TRUE(system.HasValue("txtfile"));
    EXPECT_TRUE(system.HasValue("txtfile\\shell\\print\\command"));
    EXPECT_TRUE(system.HasKey("txtfile\\shell"));
}

TEST_F(RemovalTest, KeepsTheExtensionsValueWhenItsKeyHoldsMore) {
    // Windows' own ".txt" names "txtfile" as the installer did, and has a content type and a
    // ShellNew subkey: its value stays.
    Associate(system, "txt", "C:\\App\\viewer.exe");
    system.otherValues.insert(".txt");
    system.Key(".txt\\ShellNew");
    log.types.Add("txt");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(system.HasValue(".txt"));
    EXPECT_FALSE(system.HasKey("txtfile"));
}

TEST_F(RemovalTest, LeavesWhatAnotherProgramTookOver) {
    Associate(system, "abc", "C:\\App\\viewer.exe");
    system.Value(".abc", "otherfile");  // another program's class now
    system.Value("abcfile\\shell\\open\\command", "C:\\Other\\other.exe %1");
    // Our program, but a command another program wrote for it.
    Associate(system, "abd", "C:\\App\\viewer.exe");
    system.Value("abdfile\\shell\\open\\command", "\"C:\\App\\viewer.exe\" /view \"%1\"");
    log.types.Add("abd");
    system.otherValues.insert(Fold("abcfile\\DefaultIcon"));
    log.types.Add("abc");
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_TRUE(system.HasValue(".abc"));
    EXPECT_TRUE(system.HasValue("abcfile\\shell\\open\\command"));
    EXPECT_TRUE(system.HasValue("abdfile\\shell\\open\\command"));
    // The extension goes with the class it names, and that class's command is another's now.
    EXPECT_TRUE(system.HasValue(".abd"));
    EXPECT_FALSE(system.HasValue("abcfile\\DefaultIcon"));
    EXPECT_TRUE(system.HasKey("abcfile\\DefaultIcon"));  // it holds another value
}

// An edited log makes no other program ours: one outside the install, Windows and system
// folders is never ours, whatever the records say.
TEST_F(RemovalTest, AProgramOfTheSystemFolderIsOursWhenThePackageInstalledIt) {
    Installed("C:\\Windows\\System32\\view.exe");
    Installed("C:\\Tools\\tool.exe");
    Associate(system, "abc", "C:\\Windows\\System32\\view.exe");
    Associate(system, "def", "C:\\Windows\\System32\\notepad.exe");
    Associate(system, "ghi", "C:\\Tools\\tool.exe");
    for (const char* type : {"abc", "def", "ghi"}) log.types.Add(type);
    Run();
    EXPECT_FALSE(system.HasKey("abcfile"));
    EXPECT_TRUE(system.HasValue("deffile\\shell\\open\\command"));
    EXPECT_TRUE(system.HasValue("ghifile\\shell\\open\\command"));
    EXPECT_TRUE(system.HasValue(".ghi"));
    // Our class, but another's command in it now: the extension stays with that command.
    EXPECT_TRUE(system.HasValue(".def"));
}

TEST_F(RemovalTest, PutsBackWhatTheInstallationReplacedWhileOurValueHolds) {
    // .qzy was Other.Doc's, and txtfile had Windows' own icon and command.
    Associate(system, "qzy", "C:\\App\\viewer.exe");
    system.kept[".qzy"] = "Other.Doc";
    Associate(system, "txt", "C:\\App\\viewer.exe");
    system.otherValues.insert(".txt");
    system.kept[Fold("txtfile\\DefaultIcon")] = "imageres.dll,-102";
    system.kept[Fold("txtfile\\shell\\open\\command")] = "notepad.exe %1";
    // .qzw was taken by another program since: what was kept for it stays unused.
    Associate(system, "qzw", "C:\\App\\viewer.exe");
    system.Value("qzwfile\\shell\\open\\command", "C:\\Other\\other.exe \"%1\"");
    system.kept[".qzw"] = "Older.Doc";
    for (const char* type : {"qzy", "txt", "qzw"}) log.types.Add(type);
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_EQ(system.values[".qzy"], "Other.Doc");
    EXPECT_EQ(system.values[".txt"], "txtfile");
    EXPECT_EQ(system.values[Fold("txtfile\\DefaultIcon")], "imageres.dll,-102");
    EXPECT_EQ(system.values[Fold("txtfile\\shell\\open\\command")], "notepad.exe %1");
    EXPECT_EQ(system.values[".qzw"], "qzwfile");
    EXPECT_FALSE(system.HasKey("qzyfile"));
}

TEST_F(RemovalTest, AControlChangedSinceItWasInstalledGoesUnloaded) {
    Installed("C:\\App\\a.ocx");
    Installed("C:\\App\\b.ocx");
    system.changedControls.insert(Fold("C:\\App\\b.ocx"));
    Run();
    EXPECT_TRUE(removal->done());
    EXPECT_FALSE(system.Has("C:\\App\\b.ocx"));
    EXPECT_EQ(std::count(system.actions.begin(), system.actions.end(), "unregister C:\\App\\a.ocx"),
              1);
    EXPECT_EQ(StayedItems(), (std::vector<Stayed>{{Subject::File, Verdict::Unloaded,
                                                   "C:\\App\\b.ocx"}}));
}

TEST_F(RemovalTest, AValueThatCannotBeDeletedCounts) {
    Associate(system, "abc", "C:\\App\\viewer.exe");
    system.lockedValues.insert(Fold("abcfile\\shell\\open\\command"));
    log.types.Add("abc");
    Run();
    EXPECT_FALSE(removal->done());
    EXPECT_EQ(StayedItems(), (std::vector<Stayed>{{Subject::FileType, Verdict::Failed, "abc"}}));
}

TEST_F(RemovalTest, RefusesAnExtensionThatIsNone) {
    Associate(system, "abc", "C:\\App\\viewer.exe");
    for (const char* extension : {"abcd", "a.b", "..", "a\\b", "a b"}) log.types.Add(extension);
    Run();
    EXPECT_TRUE(system.HasKey("abcfile"));
    EXPECT_EQ(StayedItems().size(), 5u);
}

// ---- the end -------------------------------------------------------------------------------

TEST_F(RemovalTest, AnEntryThatCannotBeRemovedCounts) {
    system.entryRemovable = false;
    Run();
    EXPECT_FALSE(removal->done());
}

TEST(InstallFolderRule, RefusesRootsAndTheSystemsFolders) {
    EXPECT_TRUE(unwise::InstallFolderAllowed("C:\\Program Files\\App", "C:\\Windows",
                                             "C:\\Windows\\System32"));
    EXPECT_TRUE(
        unwise::InstallFolderAllowed("C:\\Windows\\App", "C:\\Windows", "C:\\Windows\\System32"));
    for (const char* folder : {"C:\\", "C:", "c:\\windows", "C:\\Windows\\System32", ""})
        EXPECT_FALSE(unwise::InstallFolderAllowed(folder, "C:\\Windows", "C:\\Windows\\System32"))
            << folder;
}

}  // namespace
