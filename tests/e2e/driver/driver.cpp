// The end-to-end driver: starts programs under test and operates their windows as a user would,
// following a scenario script (one command a line, texts in UTF-8). See tests/e2e/README.md for
// the commands. Every expectation polls until it holds or its time runs out, because the wizard
// posts its button changes and a page switch is not visible the moment a press returns.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "readback.h"
#include "snapshot.h"

namespace {

constexpr DWORD kWaitMs = 10000;       // for anything that follows a press
constexpr DWORD kStartWaitMs = 30000;  // the first window: Wine may still be starting up
constexpr DWORD kPollMs = 50;
constexpr int kSheetBack = 0x3023;
constexpr int kSheetNext = 0x3024;
constexpr int kSheetFinish = 0x3025;
constexpr int kMessageBoxText = 0xFFFF;  // the static that holds a message box's text
constexpr int kConfirmText = 1000;
constexpr int kConfirmIcon = 1027;

// ---- text ----------------------------------------------------------------------------------

std::string Utf8(const std::wstring& wide) { return e2e::Utf8Of(wide); }
std::wstring Wide(const std::string& utf8) { return e2e::WideOf(utf8); }

// A Windows path of the script: %NAME% stands for the environment variable, as in %TEMP%, which
// the programs started inherit from the driver.
std::wstring PathOf(const std::string& utf8) { return e2e::ExpandVariables(Wide(utf8)); }

// The driver's console is a pipe when ctest runs it: raw UTF-8 bytes reach the log unchanged.
void Print(const std::string& line) {
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string Hex(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, value > 9 ? "0x%X" : "%d", value);
    return buffer;
}

// ---- windows of the program under test -------------------------------------------------------

// Every program the scenario started; commands address the current one (the last started, or
// the one chosen with `select`), so that two wizards open at once are never confused.
struct Program {
    std::string name;  // as the script named it in `start`
    DWORD pid = 0;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;  // until resumed: programs started one after the other run at once
};
std::vector<Program> g_programs;
size_t g_current = 0;

Program* Current() { return g_programs.empty() ? nullptr : &g_programs[g_current]; }

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Utf8(name);
}

// Reading through a timeout: a program busy inside a paint handler must not hang the driver.
bool ReadText(HWND window, std::string* text) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length))
        return false;
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&buffer[0]),
                             SMTO_ABORTIFHUNG, 1000, &copied))
        return false;
    buffer.resize(copied);
    *text = Utf8(buffer);
    return true;
}

std::string TextOf(HWND window) {
    std::string text;
    return ReadText(window, &text) ? text : std::string("<no answer>");
}

struct WindowSearch {
    DWORD pid;  // 0: every program started
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (!IsWindowVisible(window)) return TRUE;
    for (const Program& program : g_programs)
        if (program.pid == pid && (!search->pid || search->pid == pid))
            search->found.push_back(window);
    return TRUE;
}

// The visible top-level windows of the current program, or of every program started.
std::vector<HWND> TopWindows(bool everyProgram = false) {
    WindowSearch search{0, {}};
    if (!everyProgram) search.pid = Current() ? Current()->pid : ~DWORD(0);
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;  // top of the z-order first
}

bool IsDialog(HWND window) { return ClassOf(window) == "#32770"; }

HWND FindSheet() {
    for (HWND window : TopWindows())
        if (GetDlgItem(window, kSheetNext)) return window;
    return nullptr;
}

HWND FindBox() {
    for (HWND window : TopWindows())
        if (IsDialog(window) && GetDlgItem(window, kMessageBoxText) &&
            !GetDlgItem(window, kSheetNext))
            return window;
    return nullptr;
}

HWND FindConfirm() {
    for (HWND window : TopWindows())
        if (IsDialog(window) && GetDlgItem(window, kConfirmText) &&
            GetDlgItem(window, kConfirmIcon) && !GetDlgItem(window, kSheetNext))
            return window;
    return nullptr;
}

// The largest visible window that is neither the sheet nor one of its dialogs: the backdrop.
HWND FindBackground(HWND sheet) {
    for (HWND window : TopWindows()) {
        if (window == sheet || GetDlgItem(window, kSheetNext)) continue;
        RECT r;
        GetWindowRect(window, &r);
        if (r.right - r.left >= GetSystemMetrics(SM_CXSCREEN) &&
            r.bottom - r.top >= GetSystemMetrics(SM_CYSCREEN))
            return window;
    }
    return nullptr;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchVisibleChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (GetDlgCtrlID(child) == search->id && IsWindowVisible(child)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// A control of the window itself (the wizard buttons, a box's buttons), else a control of the
// page shown, hidden or not, else a visible control further down. Every page of the sheet has
// its controls, with the same ids, so a hidden control only counts on the page shown.
HWND FindControl(HWND top, int id) {
    if (!top) return nullptr;
    HWND direct = GetDlgItem(top, id);
    if (direct) return direct;
    if (GetDlgItem(top, kSheetNext)) {
        DWORD_PTR page = 0;
        SendMessageTimeoutW(top, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 1000, &page);
        if (HWND onPage = page ? GetDlgItem(reinterpret_cast<HWND>(page), id) : nullptr)
            return onPage;
    }
    ChildSearch search{id, nullptr};
    EnumChildWindows(top, MatchVisibleChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Exited(const Program* program, DWORD* code) {
    if (!program || WaitForSingleObject(program->process, 0) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(program->process, code);
    return true;
}

bool Exited(DWORD* code) { return Exited(Current(), code); }

// ---- screenshots ---------------------------------------------------------------------------

void SaveScreen(const RECT& area, const std::wstring& path) {
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(out, &file, sizeof file, &written, nullptr);
        WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
        WriteFile(out, bits, size, &written, nullptr);
        CloseHandle(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::string ColourText(COLORREF c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return buffer;
}

// ---- the script ----------------------------------------------------------------------------

struct Failure {
    std::string message;
};

struct Command {
    int line = 0;
    std::vector<std::string> words;
    const std::string& At(size_t i) const {
        if (i >= words.size()) throw Failure{"missing argument " + std::to_string(i)};
        return words[i];
    }
    bool Has(size_t i) const { return i < words.size(); }
};

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '#') {
            break;
        } else if (line[i] == '"') {
            std::string word;
            // No escapes: texts never hold a quote, and Windows paths keep their backslashes.
            for (++i; i < line.size() && line[i] != '"'; ++i) word += line[i];
            ++i;
            words.push_back(word);
        } else {
            size_t end = line.find_first_of(" \t\r", i);
            if (end == std::string::npos) end = line.size();
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

int Number(const std::string& word) {
    char* end = nullptr;
    long value = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || *end) throw Failure{"not a number: " + word};
    return static_cast<int>(value);
}

COLORREF Colour(const std::string& word) {
    if (word.size() != 7 || word[0] != '#') throw Failure{"not a colour: " + word};
    unsigned long rgb = std::strtoul(word.c_str() + 1, nullptr, 16);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

class Driver {
public:
    explicit Driver(std::wstring shotFolder) : shots_(std::move(shotFolder)) {}

    void Run(const Command& c);
    // Follows the commands of `script`, naming it in what it prints.
    void RunScript(const std::string& script, const std::string& name);
    void OnFailure(int line);

private:
    // Polls `check` until it returns an empty text; a non-empty text is the last reason why not.
    template <typename Check>
    void WaitFor(DWORD ms, Check check) {
        DWORD start = GetTickCount();
        std::string why;
        for (;;) {
            why = check();
            if (why.empty()) return;
            if (GetTickCount() - start > ms) throw Failure{why};
            Sleep(kPollMs);
        }
    }

    HWND Sheet(DWORD ms = kWaitMs) {
        HWND sheet = nullptr;
        WaitFor(ms, [&]() -> std::string {
            sheet = FindSheet();
            if (sheet) return "";
            DWORD code;
            if (Exited(&code))
                throw Failure{"the program ended (" + std::to_string(code) + ") with no wizard"};
            // A program that could not start shows its box and waits: say so at once, rather
            // than after the whole wait for a wizard that cannot come.
            if (HWND box = FindBox())
                throw Failure{"no wizard, but the box " +
                              Quote(TextOf(GetDlgItem(box, kMessageBoxText))) + " is open"};
            return "no wizard window";
        });
        return sheet;
    }

    // The window that controls are looked up in: an open box or confirmation, else the sheet.
    HWND Target() {
        if (dialog_ && IsWindow(dialog_) && IsWindowVisible(dialog_)) return dialog_;
        dialog_ = nullptr;
        return Sheet();
    }

    void Start(const Command& c);
    void Launch(const std::string& name, const std::wstring& application, std::wstring line,
                const std::wstring& folder);
    void Select(const Command& c);
    void MakeFile(const Command& c);
    void ExpectPath(const Command& c);
    void ExpectFolderHolds(const Command& c);
    void ExpectControl(const Command& c);
    void Click(const Command& c);
    void ExpectBox(const Command& c, bool confirm);
    void Answer(const Command& c);
    void WaitGone(HWND box);
    void Screenshot(const Command& c);

    std::wstring shots_;
    std::map<std::wstring, HANDLE> held_;  // files this driver holds open, by path
    DWORD timer_ = 0;
    HWND dialog_ = nullptr;
};

// Programs under test are staged in the folder "app" beside the driver, away from the driver's
// own DLLs, and start there as from a download folder. A Windows path (a name with a backslash
// or a colon, as the runner's --stage-dir needs) starts the program where a user's browser would
// have put it; either way it starts in its own folder. The new program becomes the current one
// and runs from the next command that is not a `start` (see ResumeStarted).
void Driver::Start(const Command& c) {
    const std::string& name = c.At(1);
    std::wstring program;
    if (name.find_first_of("\\:") == std::string::npos) {
        wchar_t folder[MAX_PATH];
        GetFullPathNameW(L"app", MAX_PATH, folder, nullptr);
        program = std::wstring(folder) + L"\\" + Wide(name);
    } else {
        program = PathOf(name);
    }
    std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
    std::wstring line = L"\"" + program + L"\"";
    for (size_t i = 2; i < c.words.size(); ++i) {
        std::wstring word = Wide(c.words[i]);
        // A word with spaces is quoted whole, as scripting languages pass a list element; the
        // words of an unquoted "/D=C:\My Apps" in a scenario go as they stand.
        const bool bare = word.find(L' ') == std::wstring::npos;
        line += bare ? L" " + word : L" \"" + word + L"\"";
    }
    Launch(name, program, line, folder);
}

// Starts a program suspended (see ResumeStarted) as the current one, named `name`. Without an
// `application` the system takes the program from the command line, as it runs a command that
// the registry holds.
void Driver::Launch(const std::string& name, const std::wstring& application, std::wstring line,
                    const std::wstring& folder) {
    for (auto other = g_programs.begin(); other != g_programs.end(); ++other) {
        if (other->name != name) continue;
        // One that has ended may run again (an uninstaller answered twice): the new run takes
        // its place.
        if (WaitForSingleObject(other->process, 0) != WAIT_OBJECT_0)
            throw Failure{name + " is started already"};
        CloseHandle(other->process);
        g_programs.erase(other);
        break;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), &line[0], nullptr,
                        nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        throw Failure{"cannot start " + name + " (error " + std::to_string(GetLastError()) + ")"};
    g_programs.push_back(Program{name, info.dwProcessId, info.hProcess, info.hThread});
    g_current = g_programs.size() - 1;
    dialog_ = nullptr;
}

// Programs of consecutive `start` commands wait suspended until the next other command, and
// then start together: creating a process under Wine takes longer than an installer's start-up,
// so one started after the other would hardly overlap.
void ResumeStarted() {
    for (Program& program : g_programs) {
        if (!program.thread) continue;
        ResumeThread(program.thread);
        CloseHandle(program.thread);
        program.thread = nullptr;
    }
}

// Later commands address this program (named as in its `start`), its wizard and its boxes.
void Driver::Select(const Command& c) {
    for (size_t i = 0; i < g_programs.size(); ++i) {
        if (g_programs[i].name == c.At(1)) {
            g_current = i;
            dialog_ = nullptr;
            return;
        }
    }
    throw Failure{"no program " + c.At(1) + " was started"};
}

// Plants a file the way another program would have left it: the text as UTF-8 bytes, and
// read-only when asked.
void Driver::MakeFile(const Command& c) {
    std::wstring path = PathOf(c.At(1));
    const std::string& text = c.At(2);
    bool readOnly = c.Has(3) && c.At(3) == "read-only";
    if (c.Has(3) && !readOnly) throw Failure{"unknown word " + c.At(3)};
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw Failure{"cannot create " + c.At(1) + " (error " + std::to_string(GetLastError()) +
                      ")"};
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size()) throw Failure{"cannot write " + c.At(1)};
    if (readOnly && !SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY))
        throw Failure{"cannot make " + c.At(1) + " read-only"};
}

void Driver::ExpectPath(const Command& c) {
    const std::string& verb = c.At(0);
    std::wstring path = PathOf(c.At(1));
    std::string shown = Utf8(path);
    // expect-file PATH [content "TEXT" | same-as "PATH"] [read-only | writable]
    bool checkContent = false, checkReadOnly = false, wantReadOnly = false;
    std::string content;
    for (size_t i = 2; i < c.words.size(); ++i) {
        if (verb == "expect-file" && c.words[i] == "content") {
            checkContent = true;
            content = c.At(++i);
        } else if (verb == "expect-file" && c.words[i] == "same-as") {
            checkContent = true;
            if (!e2e::ReadWholeFile(PathOf(c.At(++i)), &content))
                throw Failure{"cannot read " + c.At(i)};
        } else if (verb == "expect-file" &&
                   (c.words[i] == "read-only" || c.words[i] == "writable")) {
            checkReadOnly = true;
            wantReadOnly = c.words[i] == "read-only";
        } else {
            throw Failure{"unknown word " + c.words[i]};
        }
    }
    WaitFor(kWaitMs, [&]() -> std::string {
        DWORD attributes = GetFileAttributesW(path.c_str());
        bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        bool folder = exists && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (verb == "expect-folder" && !folder) return "no folder " + shown;
        if (verb == "expect-no-file") return exists ? shown + " exists" : "";
        if (verb == "expect-file") {
            if (!exists || folder) return "no file " + shown;
            bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
            if (checkReadOnly && readOnly != wantReadOnly)
                return shown + (readOnly ? " is read-only" : " is not read-only");
            std::string got;
            if (checkContent && !e2e::ReadWholeFile(path, &got)) return "cannot read " + shown;
            if (checkContent && got != content)
                return shown + " holds " + Quote(got) + ", not " + Quote(content);
        }
        return "";
    });
}

// expect-folder-holds PATH [NAME]...: the folder holds exactly these entries, no others (no
// name: it is empty), as a look at the temporary folder after a program has ended.
void Driver::ExpectFolderHolds(const Command& c) {
    std::wstring folder = PathOf(c.At(1));
    std::string shown = Utf8(folder);
    std::vector<std::string> want(c.words.begin() + 2, c.words.end());
    if (c.At(0) == "expect-folder-empty" && !want.empty())
        throw Failure{"expect-folder-empty takes only the folder"};
    WaitFor(kWaitMs, [&]() -> std::string {
        DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return "no folder " + shown;
        std::vector<std::string> found;
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) return "cannot list " + shown;
        do {
            std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") found.push_back(Utf8(name));
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        std::string why;
        for (const std::string& name : found) {
            bool expected = false;
            for (const std::string& w : want) expected = expected || w == name;
            if (!expected) why += (why.empty() ? "" : ", ") + Quote(name);
        }
        if (!why.empty()) return shown + (want.empty() ? " holds " : " also holds ") + why;
        for (const std::string& w : want) {
            bool present = false;
            for (const std::string& name : found) present = present || w == name;
            if (!present) return shown + " lacks " + Quote(w);
        }
        return "";
    });
}

void Driver::ExpectControl(const Command& c) {
    const std::string& verb = c.At(0);
    int id = Number(c.At(1));
    std::string want = verb == "expect-text" ? c.At(2) : "";
    // expect-text ID "TEXT" begins: the text starts so (the rest is the system's own words);
    // contains: the text holds it somewhere (a line of a long summary).
    const bool begins = verb == "expect-text" && c.Has(3) && c.At(3) == "begins";
    const bool contains = verb == "expect-text" && c.Has(3) && c.At(3) == "contains";
    WaitFor(kWaitMs, [&]() -> std::string {
        HWND control = FindControl(Target(), id);
        // A missing control is a failure for expect-hidden too: a scenario that names the wrong
        // id, or a page that lost its control, must not pass.
        if (!control) return "no control " + Hex(id);
        if (verb == "expect-hidden") return IsWindowVisible(control) ? Hex(id) + " is visible" : "";
        if (!IsWindowVisible(control)) return Hex(id) + " is hidden";
        if (verb == "expect-visible") return "";
        if (verb == "expect-enabled")
            return IsWindowEnabled(control) ? "" : Hex(id) + " is disabled";
        if (verb == "expect-disabled")
            return IsWindowEnabled(control) ? Hex(id) + " is enabled" : "";
        if (verb == "expect-checked" || verb == "expect-unchecked") {
            DWORD_PTR state = 0;
            SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 1000, &state);
            bool checked = state == BST_CHECKED;
            if (checked == (verb == "expect-checked")) return "";
            return Hex(id) + (checked ? " is checked" : " is not checked");
        }
        std::string text = TextOf(control);
        if (contains)
            return text.find(want) != std::string::npos
                       ? ""
                       : Hex(id) + " reads " + Quote(text) + ", without " + Quote(want);
        if (begins) text = text.substr(0, want.size());
        return text == want ? "" : Hex(id) + " reads " + Quote(text) + ", not " + Quote(want);
    });
}

void Driver::Click(const Command& c) {
    int id = Number(c.At(1));
    HWND top = nullptr, control = nullptr;
    WaitFor(kWaitMs, [&]() -> std::string {
        top = Target();
        control = FindControl(top, id);
        if (!control) return "no control " + Hex(id);
        if (!IsWindowVisible(control)) return "cannot click " + Hex(id) + ": hidden";
        if (!IsWindowEnabled(control)) return "cannot click " + Hex(id) + ": disabled";
        return "";
    });
    // A sent press of Finish or Cancel leaves the modal sheet stuck under Wine, and a press that
    // opens a message box would hold the driver until someone answers it: so the sheet's buttons
    // are posted, and others are sent with a short timeout.
    bool sheetButton = top == FindSheet() && GetParent(control) == top;
    if (sheetButton &&
        (id == kSheetFinish || id == IDCANCEL || id == kSheetNext || id == kSheetBack)) {
        PostMessageW(control, BM_CLICK, 0, 0);
    } else {
        DWORD_PTR ignored;
        SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, 300, &ignored);
    }
}

void Driver::ExpectBox(const Command& c, bool confirm) {
    std::string want = c.At(1);
    bool checkCaption = false, alone = false, begins = false;
    std::string caption;
    for (size_t i = 2; i < c.words.size(); ++i) {
        if (c.words[i] == "caption") {
            checkCaption = true;
            caption = c.At(++i);
        } else if (c.words[i] == "begins") {
            begins = true;
        } else if (c.words[i] == "alone") {
            alone = true;
        } else {
            throw Failure{"unknown word " + c.words[i]};
        }
    }
    const char* what = confirm ? "confirmation" : "message box";
    // A box may be the program's first window.
    WaitFor(kStartWaitMs, [&]() -> std::string {
        HWND box = confirm ? FindConfirm() : FindBox();
        DWORD code;
        if (!box && Exited(&code)) throw Failure{std::string("the program ended with no ") + what};
        if (!box) return std::string("no ") + what;
        std::string text = TextOf(GetDlgItem(box, confirm ? kConfirmText : kMessageBoxText));
        if (begins ? text.compare(0, want.size(), want) != 0 : text != want)
            return std::string(what) + " says " + Quote(text) + ", not " + Quote(want);
        std::string title = TextOf(box);
        if (checkCaption && title != caption)
            return std::string(what) + " is titled " + Quote(title) + ", not " + Quote(caption);
        if (alone && TopWindows().size() != 1)
            return "other windows are shown besides the " + std::string(what);
        dialog_ = box;
        return "";
    });
}

// Presses the button of the open box or confirmation that carries this text (or OK, Cancel,
// Yes, No by their standard ids), and waits until the box has gone.
void Driver::Answer(const Command& c) {
    if (!dialog_ || !IsWindow(dialog_)) throw Failure{"no box is open to answer"};
    const std::string& how = c.At(1);
    int id = how == "OK"       ? IDOK
             : how == "Cancel" ? IDCANCEL
             : how == "Yes"    ? IDYES
             : how == "No"     ? IDNO
                               : 0;
    HWND button = id ? GetDlgItem(dialog_, id) : nullptr;
    if (!id) {
        for (HWND child = GetWindow(dialog_, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            if (ClassOf(child) == "Button" && IsWindowVisible(child) && TextOf(child) == how)
                button = child;
    }
    if (!button) throw Failure{"the box has no button " + Quote(how)};
    PostMessageW(button, BM_CLICK, 0, 0);
    WaitGone(dialog_);
}

void Driver::WaitGone(HWND box) {
    WaitFor(kWaitMs, [&]() -> std::string {
        return IsWindow(box) && IsWindowVisible(box) ? "the box is still open" : "";
    });
    dialog_ = nullptr;
}

// Two programs' wizards open at the same place on the screen: before its pixels are looked at,
// the window of the current program is brought to the top, as a user would click on it.
void RaiseIfShared(HWND window) {
    if (g_programs.size() < 2) return;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Driver::Screenshot(const Command& c) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!(c.Has(2) && c.At(2) == "screen")) {
        HWND top = Target();
        RaiseIfShared(top);
        GetWindowRect(top, &area);
    }
    // Let the last change paint before the picture is taken.
    Sleep(200);
    SaveScreen(area, shots_ + L"\\" + Wide(c.At(1)) + L".bmp");
}

void Driver::Run(const Command& c) {
    const std::string& verb = c.At(0);
    if (verb != "start") ResumeStarted();
    if (verb == "start") {
        Start(c);
    } else if (verb == "expect-sheet") {
        HWND sheet = Sheet(kStartWaitMs);
        if (c.Has(1)) {
            WaitFor(kWaitMs, [&]() -> std::string {
                std::string title = TextOf(sheet);
                return title == c.At(1) ? "" : "the wizard is titled " + Quote(title);
            });
        }
    } else if (verb == "expect-text" || verb == "expect-enabled" || verb == "expect-disabled" ||
               verb == "expect-hidden" || verb == "expect-visible" || verb == "expect-checked" ||
               verb == "expect-unchecked") {
        ExpectControl(c);
    } else if (verb == "expect-page") {
        // expect-page N [within SECONDS]: a long installation (a benchmark) may take longer.
        int want = Number(c.At(1));
        DWORD wait = c.Has(3) && c.At(2) == "within" ? Number(c.At(3)) * 1000u : kWaitMs;
        WaitFor(wait, [&]() -> std::string {
            HWND sheet = Sheet();
            HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            int index = static_cast<int>(
                SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
            return index == want ? "" : "the wizard shows page " + std::to_string(index);
        });
    } else if (verb == "click") {
        Click(c);
    } else if (verb == "key") {
        // Keys go to the focused control of the window, through its dialog loop, as typed keys do.
        const std::string& name = c.At(1);
        WPARAM key = name == "Enter" ? VK_RETURN : name == "Escape" ? VK_ESCAPE : 0;
        if (!key) throw Failure{"unknown key " + name};
        HWND top = Target();
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info);
        HWND focus = info.hwndFocus ? info.hwndFocus : top;
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        if (top == dialog_) WaitGone(top);
    } else if (verb == "close") {
        HWND top = Target();
        PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (top == dialog_) WaitGone(top);
    } else if (verb == "type") {
        HWND control = nullptr;
        WaitFor(kWaitMs, [&]() -> std::string {
            control = FindControl(Target(), Number(c.At(1)));
            return control ? "" : "no control " + c.At(1);
        });
        std::wstring text = Wide(c.At(2));
        DWORD_PTR ignored;
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
    } else if (verb == "expect-box") {
        ExpectBox(c, false);
    } else if (verb == "expect-confirm") {
        ExpectBox(c, true);
    } else if (verb == "expect-dialog") {
        // Any other dialog of the program, such as the folder selection: found by its title.
        WaitFor(kWaitMs, [&]() -> std::string {
            for (HWND window : TopWindows()) {
                if (IsDialog(window) && !GetDlgItem(window, kSheetNext) &&
                    TextOf(window) == c.At(1)) {
                    dialog_ = window;
                    return "";
                }
            }
            return "no dialog titled " + Quote(c.At(1));
        });
    } else if (verb == "answer") {
        Answer(c);
    } else if (verb == "expect-no-box") {
        Sheet();
        if (FindBox() || FindConfirm()) throw Failure{"a box is open"};
    } else if (verb == "expect-exit") {
        DWORD code = 0;
        WaitFor(kWaitMs, [&]() -> std::string {
            return Exited(&code) ? "" : "the program is still running";
        });
        if (c.Has(1) && code != static_cast<DWORD>(Number(c.At(1))))
            throw Failure{"the program ended with " + std::to_string(code)};
    } else if (verb == "expect-exit-without-window") {
        // expect-exit-without-window CODE: the program ends with this code, and no window of it
        // is ever visible meanwhile (looked for every 10 ms, for up to a minute).
        const DWORD start = GetTickCount();
        DWORD code = 0;
        while (!Exited(&code)) {
            const std::vector<HWND> windows = TopWindows();
            if (!windows.empty())
                throw Failure{"a window appeared: " + Quote(TextOf(windows.front()))};
            if (GetTickCount() - start > 60000) throw Failure{"the program is still running"};
            Sleep(10);
        }
        if (code != static_cast<DWORD>(Number(c.At(1))))
            throw Failure{"the program ended with " + std::to_string(code)};
    } else if (verb == "end-program") {
        // For scenarios whose subject is over before the wizard is: the user pulls the plug.
        if (Program* program = Current()) {
            TerminateProcess(program->process, 0);
            WaitForSingleObject(program->process, kWaitMs);
        }
    } else if (verb == "expect-folder" || verb == "expect-file" || verb == "expect-no-file") {
        ExpectPath(c);
    } else if (verb == "expect-folder-empty" || verb == "expect-folder-holds") {
        ExpectFolderHolds(c);
    } else if (verb == "make-folder") {
        if (!CreateDirectoryW(PathOf(c.At(1)).c_str(), nullptr))
            throw Failure{"cannot create " + c.At(1) + " (error " + std::to_string(GetLastError()) +
                          ")"};
    } else if (verb == "make-file") {
        MakeFile(c);
    } else if (verb == "expect-temp-folder") {
        // What the driver's GetTempPath says is what the programs it starts inherit.
        wchar_t buffer[MAX_PATH + 1];
        DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
        std::wstring got(buffer, n > 0 && n <= MAX_PATH ? n : 0);
        std::wstring want = Wide(c.At(1));
        if (!got.empty() && got.back() == L'\\') got.pop_back();
        if (!want.empty() && want.back() == L'\\') want.pop_back();
        if (got != want) throw Failure{"the temporary folder is " + Quote(Utf8(got))};
    } else if (verb == "select") {
        Select(c);
    } else if (verb == "expect-background") {
        COLORREF want = Colour(c.At(1));
        WaitFor(kWaitMs, [&]() -> std::string {
            HWND background = FindBackground(Sheet());
            if (!background) return "no background window";
            // Inside the frame, where the wizard at the top left never stands.
            COLORREF got =
                ScreenPixel(GetSystemMetrics(SM_CXSCREEN) - 20, GetSystemMetrics(SM_CYSCREEN) - 20);
            return got == want ? "" : "the background shows " + ColourText(got);
        });
    } else if (verb == "expect-window") {
        WaitFor(kWaitMs, [&]() -> std::string {
            for (HWND window : TopWindows())
                if (TextOf(window) == c.At(1)) return "";
            return "no window titled " + Quote(c.At(1));
        });
    } else if (verb == "expect-no-background") {
        if (FindBackground(Sheet())) throw Failure{"a background window is shown"};
    } else if (verb == "expect-control-colour") {
        // The middle of a control as the screen shows it, such as the icon of a question: icons
        // of another process cannot be read back under Wine, their pixels can.
        int id = Number(c.At(1));
        COLORREF want = Colour(c.At(2));
        WaitFor(kWaitMs, [&]() -> std::string {
            HWND top = Target();
            HWND control = FindControl(top, id);
            if (!control || !IsWindowVisible(control)) return "no visible control " + Hex(id);
            RaiseIfShared(top);
            RECT r;
            GetWindowRect(control, &r);
            COLORREF got = ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            return got == want ? "" : Hex(id) + " shows " + ColourText(got) + " in its middle";
        });
    } else if (verb == "expect-pixel") {
        int x = Number(c.At(1)), y = Number(c.At(2));
        COLORREF want = Colour(c.At(3));
        WaitFor(kWaitMs, [&]() -> std::string {
            COLORREF got = ScreenPixel(x, y);
            return got == want
                       ? ""
                       : "the screen shows " + ColourText(got) + " at " + c.At(1) + "," + c.At(2);
        });
    } else if (verb == "expect-above-background") {
        HWND sheet = Sheet();
        if (!(GetWindowLongW(sheet, GWL_EXSTYLE) & WS_EX_TOPMOST))
            throw Failure{"the wizard is not topmost"};
        for (HWND window : TopWindows()) {
            if (window == sheet) break;
            if (window == FindBackground(sheet))
                throw Failure{"the background is above the wizard"};
        }
    } else if (verb == "timer-start") {
        timer_ = GetTickCount();
    } else if (verb == "timer-print") {
        // timer-print LABEL: the milliseconds since timer-start, on the standard output.
        std::printf("%s %lu ms\n", c.At(1).c_str(), GetTickCount() - timer_);
        std::fflush(stdout);
    } else if (verb == "set-env") {
        // set-env NAME VALUE: for the programs started from now on.
        SetEnvironmentVariableW(Wide(c.At(1)).c_str(), Wide(c.At(2)).c_str());
    } else if (verb == "hold-file") {
        // hold-file PATH: opened with no sharing, as a running program holds its own file, so
        // that nothing can write, replace or delete it until release-file.
        std::wstring path = PathOf(c.At(1));
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) throw Failure{"cannot hold " + c.At(1)};
        held_[path] = file;
    } else if (verb == "release-file") {
        auto found = held_.find(PathOf(c.At(1)));
        if (found == held_.end()) throw Failure{c.At(1) + " is not held"};
        CloseHandle(found->second);
        held_.erase(found);
    } else if (verb == "expect-responsive") {
        // The wizard answers a sent message within a second: the system would not call it hung.
        HWND sheet = Sheet();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000,
                                 &result))
            throw Failure{"the wizard did not answer within a second"};
    } else if (verb == "expect-lines") {
        // expect-lines PATH crcrlf|crlf LINE...: the file is these lines and nothing else.
        const std::string& ending = c.At(2);
        if (ending != "crcrlf" && ending != "crlf") throw Failure{"unknown line end " + ending};
        std::vector<std::string> lines(c.words.begin() + 3, c.words.end());
        WaitFor(kWaitMs, [&] {
            return e2e::CheckLines(PathOf(c.At(1)), ending == "crlf" ? "\r\n" : "\r\r\n", lines);
        });
    } else if (verb == "expect-link") {
        // expect-link LINK target PATH folder PATH
        if (c.At(2) != "target" || c.At(4) != "folder")
            throw Failure{"expect-link LINK target T folder F"};
        WaitFor(kWaitMs,
                [&] { return e2e::CheckLink(PathOf(c.At(1)), PathOf(c.At(3)), PathOf(c.At(5))); });
    } else if (verb == "set-shell-folder") {
        // set-shell-folder NAME PATH: for the programs started from now on.
        const std::string why = e2e::SetShellFolder(Wide(c.At(1)), PathOf(c.At(2)));
        if (!why.empty()) throw Failure{why};
    } else if (verb == "delete") {
        // delete PATH...: folders with all they hold, files, registry keys with their subkeys.
        for (size_t i = 1; i < c.words.size(); ++i) {
            const std::string why =
                e2e::Delete(c.words[i].rfind("HK", 0) == 0 ? Wide(c.words[i]) : PathOf(c.words[i]));
            if (!why.empty()) throw Failure{why};
        }
    } else if (verb == "expect-file-has") {
        // expect-file-has PATH "TEXT"...: each text is in the UTF-8 file.
        std::vector<std::string> lines(c.words.begin() + 2, c.words.end());
        WaitFor(kWaitMs, [&] { return e2e::CheckContains(PathOf(c.At(1)), lines); });
    } else if (verb == "print-tree") {
        e2e::PrintTree(PathOf(c.At(1)));
    } else if (verb == "print-file") {
        e2e::PrintFile(PathOf(c.At(1)));
    } else if (verb == "print-link") {
        e2e::PrintLink(PathOf(c.At(1)));
    } else if (verb == "print-registry") {
        e2e::PrintRegistry(Wide(c.At(1)));
    } else if (verb == "write-lines") {
        // write-lines PATH crcrlf|crlf LINE...: a record as an installation or an editor left it.
        const std::string& ending = c.At(2);
        if (ending != "crcrlf" && ending != "crlf") throw Failure{"unknown line end " + ending};
        std::vector<std::string> lines(c.words.begin() + 3, c.words.end());
        const std::string why =
            e2e::WriteLines(PathOf(c.At(1)), ending == "crlf" ? "\r\n" : "\r\r\n", lines);
        if (!why.empty()) throw Failure{why};
    } else if (verb == "make-link") {
        // make-link LINK TARGET: a link of another program's.
        const std::string why = e2e::MakeLink(PathOf(c.At(1)), PathOf(c.At(2)));
        if (!why.empty()) throw Failure{why};
    } else if (verb == "snapshot-tree") {
        // snapshot-tree NAME FOLDER|HKCR\KEY|HKLM\KEY|HKCU\KEY
        const std::string why = e2e::TakeSnapshot(c.At(1), PathOf(c.At(2)));
        if (!why.empty()) throw Failure{why};
    } else if (verb == "expect-unchanged") {
        // expect-unchanged NAME [except PATH]...: nothing below the snapshot-tree's root changed.
        std::vector<std::string> except;
        for (size_t i = 2; i < c.words.size(); ++i) {
            if (c.words[i] != "except") throw Failure{"unknown word " + c.words[i]};
            except.push_back(e2e::Utf8Of(PathOf(c.At(++i))));
        }
        WaitFor(kWaitMs, [&] { return e2e::CompareSnapshot(c.At(1), except); });
    } else if (verb == "expect-reg-query") {
        // expect-reg-query KEY [contains TEXT]... [lacks TEXT]...: what reg.exe query KEY /s says.
        std::vector<std::pair<bool, std::string>> checks;
        for (size_t i = 2; i < c.words.size(); ++i) {
            if (c.words[i] != "contains" && c.words[i] != "lacks")
                throw Failure{"unknown word " + c.words[i]};
            checks.push_back({c.words[i] == "contains", c.At(i + 1)});
            ++i;
        }
        WaitFor(kWaitMs, [&]() -> std::string {
            std::string output;
            const std::string why = e2e::RegQuery(Wide(c.At(1)), &output);
            if (!why.empty()) return why;
            for (const auto& check : checks)
                if ((output.find(check.second) != std::string::npos) != check.first)
                    return "reg query " + c.At(1) + (check.first ? " lacks " : " shows ") +
                           Quote(check.second) + ":\n" + output;
            return "";
        });
    } else if (verb == "start-registry-command") {
        // start-registry-command NAME KEY VALUE [document PATH]: the command line the value
        // holds, started as the system starts it (the uninstall command of "Programs and
        // Features"); with a document, its path stands for %1, as the shell opens a file.
        std::wstring line;
        const std::string why = e2e::RegistryText(Wide(c.At(2)), Wide(c.At(3)), &line);
        if (!why.empty()) throw Failure{why};
        if (c.Has(5) && c.At(4) == "document")
            for (size_t at; (at = line.find(L"%1")) != std::wstring::npos;)
                line.replace(at, 2, PathOf(c.At(5)));
        Launch(c.At(1), L"", line, L"");
    } else if (verb == "screenshot") {
        Screenshot(c);
    } else if (verb == "include") {
        // include PATH: the commands of a script that a step of the runner wrote (one line for
        // each of many damaged packages), as if they stood here.
        std::string script;
        if (!e2e::ReadWholeFile(PathOf(c.At(1)), &script)) throw Failure{"cannot read " + c.At(1)};
        RunScript(script, c.At(1));
    } else if (verb == "copy-file") {
        // copy-file FROM TO: a file as a user already has it (an earlier version of a program).
        if (!CopyFileW(PathOf(c.At(1)).c_str(), PathOf(c.At(2)).c_str(), TRUE))
            throw Failure{"cannot copy " + c.At(1) + " (error " + std::to_string(GetLastError()) +
                          ")"};
    } else if (verb == "set-read-only" || verb == "set-writable") {
        // set-read-only PATH, set-writable PATH: the attribute, as a user sets or clears it.
        const std::wstring path = PathOf(c.At(1));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) throw Failure{"no file " + c.At(1)};
        const DWORD wanted = verb == "set-read-only" ? attributes | FILE_ATTRIBUTE_READONLY
                                                     : attributes & ~FILE_ATTRIBUTE_READONLY;
        if (!SetFileAttributesW(path.c_str(), wanted))
            throw Failure{"cannot change the attributes of " + c.At(1)};
    } else {
        throw Failure{"unknown command " + verb};
    }
}

void Driver::RunScript(const std::string& script, const std::string& name) {
    const std::string where = name.empty() ? "" : name + ":";
    int number = 0;
    size_t at = 0;
    while (at < script.size()) {
        size_t end = script.find('\n', at);
        if (end == std::string::npos) end = script.size();
        std::string text = script.substr(at, end - at);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        at = end + 1;
        Command command;
        command.line = ++number;
        command.words = Split(text);
        if (command.words.empty()) continue;
        try {
            Run(command);
        } catch (const Failure& failure) {
            Print("FAIL " + where + std::to_string(number) + ": " + text);
            Print("     " + failure.message);
            // The outermost script records the failure once; an included one passes it on.
            if (name.empty()) OnFailure(number);
            throw;
        }
        Print("ok   " + where + std::to_string(number) + ": " + text);
    }
}

void Driver::OnFailure(int line) {
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SaveScreen(screen, shots_ + L"\\failed-at-line-" + std::to_wstring(line) + L".bmp");
    for (HWND window : TopWindows(true)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        std::string owner;
        for (const Program& program : g_programs)
            if (program.pid == pid) owner = program.name;
        Print("  window " + Quote(TextOf(window)) + " class " + ClassOf(window) + " of " + owner);
    }
    for (const Program& program : g_programs) TerminateProcess(program.process, 99);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        Print("usage: driver SCRIPT SCREENSHOT_FOLDER");
        return 2;
    }
    HANDLE in =
        CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        Print("driver: cannot read the script");
        return 2;
    }
    std::string script(GetFileSize(in, nullptr), '\0');
    DWORD got = 0;
    ReadFile(in, &script[0], static_cast<DWORD>(script.size()), &got, nullptr);
    CloseHandle(in);
    CreateDirectoryW(argv[2], nullptr);

    e2e::SetFolderVariables();
    Driver driver(argv[2]);
    try {
        driver.RunScript(script, "");
    } catch (const Failure&) {
        return 1;
    }
    ResumeStarted();
    int status = 0;
    for (const Program& program : g_programs) {
        if (WaitForSingleObject(program.process, 0) != WAIT_OBJECT_0) {
            Print("FAIL " + program.name + " is still running at the end of the scenario");
            TerminateProcess(program.process, 99);
            status = 1;
        }
    }
    return status;
}
