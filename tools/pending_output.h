// Output files of the publisher's tool, all or nothing: written beside the destination
// (platform::WholeFile) and renamed only when complete, so a refused input, a full disk or
// Ctrl-C never costs the file that was there before, nor leaves a partial one behind.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "platform/file.h"

namespace sfxpack {

// Whether `path` names the file `a` describes (an output that is one of the inputs is refused).
bool SameFile(const struct stat& a, const std::string& path);

class PendingOutput {
public:
    PendingOutput() = default;
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    // Removes the new file unless it was committed.
    ~PendingOutput();

    // Creates the new, empty file beside `outputPath`: one step, so nothing can be put at the
    // name between choosing it and opening it.
    bool Create(const std::string& outputPath, std::string* error);
    platform::RawFile& file() { return whole_.file(); }
    const char* path() const { return whole_.sibling(); }
    // Gives the new file the permissions `mode` (less the umask) and the destination's name.
    bool Commit(const std::string& outputPath, mode_t mode, std::string* error);

private:
    platform::WholeFile whole_;
};

}  // namespace sfxpack
