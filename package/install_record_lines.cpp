#include "package/install_records.h"

#include <cstring>

// The pieces of the records that the installer writes with, in a file of their own: the stub
// links these without the readers.
namespace package {

bool LinkName(const char* fileName, char* name, size_t room) {
    // A dot is never a trail byte (they begin at 0x40), so the first one is a real dot.
    const char* dot = std::strchr(fileName, '.');
    const size_t kept = dot ? static_cast<size_t>(dot - fileName) + 1 : 0;
    if (room == 0 || kept + 4 > room) {
        if (room) name[0] = '\0';
        return false;
    }
    std::memcpy(name, fileName, kept);
    std::memcpy(name + kept, "lnk", 4);
    return true;
}

bool BeginLogSection(LogSection section, platform::TextBuffer* out) {
    static const char* const kHeaders[] = {kFileHeader, kTypeHeader, kLinkHeader};
    return (section == LogSection::Files || AppendLogLine("", out)) &&
           AppendLogLine(kHeaders[static_cast<int>(section)], out);
}

bool AppendLogLine(const char* line, platform::TextBuffer* out) {
    return out->AppendLine(line, kLogLineEnd);
}

bool AppendListLine(const char* line, size_t length, platform::TextBuffer* out) {
    return out->Append(line, length) && out->Append(kListLineEnd);
}

}  // namespace package
