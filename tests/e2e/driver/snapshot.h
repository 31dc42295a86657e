// What the uninstaller's scenarios need of the driver besides readback.h: records planted as an
// installation or an editor would leave them, links another program made, before-and-after
// pictures of folder trees and registry keys, the registry read back through reg.exe, and the
// command that a registry value holds. Checks return why they failed ("" when they hold).
#pragma once

#include <string>
#include <vector>

namespace e2e {

// A new file (one there is replaced) of `lines` in code page 936, each ended by `ending`.
std::string WriteLines(const std::wstring& path, const std::string& ending,
                       const std::vector<std::string>& lines);

// A shell link at `link` to `target`, as another program would make it.
std::string MakeLink(const std::wstring& link, const std::wstring& target);

// Remembers as `name` everything below `what`: a folder (every file with its size and bytes'
// checksum, every link with its target, every folder), a single file, or a registry key
// "HKCR\...", "HKLM\...", "HKCU\..." (every subkey and value with its type and data). What is
// not there is remembered as nothing, so that whatever appears later shows.
std::string TakeSnapshot(const std::string& name, const std::wstring& what);
// What changed below the snapshot's root since: entries added, removed or changed, except those
// whose path below the root begins with one of `except` (without regard to ASCII case).
std::string CompareSnapshot(const std::string& name, const std::vector<std::string>& except);

// Prints what snapshot-tree would remember of `what`, one entry a line, in order.
void PrintTree(const std::wstring& what);

// Runs `reg.exe query KEY /s` from the system folder, as a user would read the registry, and
// gives what it printed (code page 936 made UTF-8).
std::string RegQuery(const std::wstring& key, std::string* output);

// The text value `value` ("" for the default) of the key "HKLM\...": a command line to start.
std::string RegistryText(const std::wstring& key, const std::wstring& value, std::wstring* text);

}  // namespace e2e
