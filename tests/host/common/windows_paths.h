// Paths as Windows resolves them, for the checks that keep a package inside its base folders.
// The host's platform::FullPath applies these rules to the text; the Win32 tests hold the same
// tables against GetFullPathNameW under Wine, so that the two cannot drift apart. Literals are
// GBK in this tree: 淺 ends with the byte of "\", which must never split it.
#pragma once

struct FullPathCase {
    const char* path;
    const char* full;
};

inline constexpr FullPathCase kFullPathCases[] = {
    {"C:\\a\\b\\..\\x", "C:\\a\\x"},
    {"C:\\a\\b\\c/../../y", "C:\\a\\y"},
    {"C:\\a\\.\\b\\\\\\c", "C:\\a\\b\\c"},
    {"C:\\a\\..\\..\\..", "C:\\"},
    {"C:\\a\\b\\x.\\y", "C:\\a\\b\\x\\y"},
    {"C:\\a\\b\\x. \\y", "C:\\a\\b\\x. \\y"},
    {"C:\\a\\b\\readme.txt.", "C:\\a\\b\\readme.txt"},
    {"C:\\a\\b\\x. . .", "C:\\a\\b\\x"},
    {"C:\\a\\b\\.. \\x", "C:\\a\\b\\.. \\x"},
    {"C:\\a\\b\\con", "\\\\.\\con"},
    {"C:\\a\\b\\nul.txt", "\\\\.\\nul"},
    {"C:\\a\\b\\CoN .txt", "\\\\.\\CoN"},
    {"C:\\a\\b\\com1", "\\\\.\\com1"},
    {"C:\\a\\b\\con\\x", "C:\\a\\b\\con\\x"},
    {"C:\\a\\b\\console", "C:\\a\\b\\console"},
    {"C:\\a\\b\\D:\\x", "C:\\a\\b\\D:\\x"},
    {"C:\\a\\淺", "C:\\a\\淺"},
    {"C:\\a\\淺\\..\\x", "C:\\a\\x"},
};

// Whether a path of a package, below a base folder, stays inside it.
struct InsideCase {
    const char* relative;
    bool isFile;
    bool inside;
};

inline constexpr InsideCase kInsideCases[] = {
    // What packers write, and names that merely lose a trailing dot or space.
    {"readme.txt", true, true},
    {"程序\\sub", false, true},
    {"docs\\", false, true},
    {"淺\\說明.txt", true, true},
    {"readme.txt.", true, true},
    {"docs ", false, true},
    {"a\\..\\b", false, true},
    {"a/b/c.txt", true, true},
    {"", false, true},
    {".", false, true},
    // No file at all, or the base folder itself taken for a file.
    {"", true, false},
    {".", true, false},
    {"a\\..", true, false},
    // Up and out, however it is spelt.
    {"..", false, false},
    {"..\\x", true, false},
    {"a\\..\\..\\x", true, false},
    {"a/../../x", true, false},
    {"..\\b\\x", true, false},  // out and back in: another base folder would be left
    {".. \\x", true, false},
    {"..  \\x", true, false},
    {".. .\\x", true, false},
    {"...\\x", true, false},
    {"x:..\\..\\..\\y", true, false},
    // A root, a drive, a share, a device.
    {"\\x", true, false},
    {"/x", true, false},
    {"\\\\server\\share\\x", true, false},
    {"C:\\x", true, false},
    {"C:x", true, false},
    {"con", true, false},
    {"nul.txt", true, false},
    {"sub\\aux", true, false},
};
