// What the driver reads of the machine after a program has run: files byte for byte with their
// line ends, shell links through the shell's own link object, folder trees and registry keys.
// Checks return why they failed ("" when they hold); prints go to the standard output.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Text in a code page (936 for GBK, CP_UTF8) and back.
std::string Encode(const std::wstring& wide, unsigned codePage);
std::wstring Decode(const std::string& text, unsigned codePage);
// %NAME% replaced by the environment variable, as the scripts' paths are.
std::wstring ExpandVariables(const std::wstring& text);

std::string Utf8Of(const std::wstring& wide);
std::wstring WideOf(const std::string& utf8);

// %SFX_DESKTOP%, %SFX_STARTMENU%, %SFX_PROGRAMS%, %SFX_WINDOWS% and %SFX_SYSTEM%: the user's
// shell folders and the system's folders as the programs under test find them, without a final
// backslash, so scripts can name the links and files made there.
void SetFolderVariables();

// Moves the user's shell folder `name` ("Desktop", "Programs"...) to `path` (made), as a profile
// in another place or under another name has it, and sets the variables again.
std::string SetShellFolder(const std::wstring& name, const std::wstring& path);

// The file holds exactly `lines`, each ended by `ending` and written in code page 936 (the lines
// are UTF-8 in the script, %NAME% expanded).
std::string CheckLines(const std::wstring& path, const std::string& ending,
                       const std::vector<std::string>& lines);

// The link at `link` opens `target` in `folder`, shown normally.
std::string CheckLink(const std::wstring& link, const std::wstring& target,
                      const std::wstring& folder);

// The whole content of a file, or false when it cannot be read. Shared reading, so that a file
// another program holds open can still be looked at.
bool ReadWholeFile(const std::wstring& path, std::string* content);

// The root of a key named "HKCR\\...", "HKCU\\..." or "HKLM\\..." (or the root alone), and the rest
// of its name; false for any other name.
bool RootOf(const std::wstring& key, HKEY* root, std::wstring* rest);

// A saved link's target, working folder and show command, loaded through the shell's link
// object (the link file's own bytes carry its target's times); false when it cannot be loaded.
bool LinkText(const std::wstring& link, std::string* text);

// Removes a folder with everything in it, a file, or a registry key with its subkeys.
std::string Delete(const std::wstring& path);

// Every line of `lines` (UTF-8) is somewhere in the UTF-8 text file.
std::string CheckContains(const std::wstring& path, const std::vector<std::string>& lines);

// A code page 936 text file with its CR and LF shown as \r and \n.
void PrintFile(const std::wstring& path);
// A link's target and working folder.
void PrintLink(const std::wstring& link);
// A registry key (HKCR\..., HKCU\..., HKLM\...) with its values and subkeys.
void PrintRegistry(const std::wstring& key);

}  // namespace e2e
