// Output files of the publisher's tool, all or nothing: written under a temporary name beside
// the destination and renamed only when complete, so a refused input, a full disk or Ctrl-C
// never costs the file that was there before, nor leaves a partial one behind.
#pragma once

#include <sys/types.h>

#include <string>

#include "platform/file.h"

namespace sfxpack {

class PendingOutput {
public:
    PendingOutput() = default;
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    // Removes the temporary file unless it was committed.
    ~PendingOutput();

    // Creates an empty temporary file beside `outputPath` and opens it as `file`: one step, so
    // nothing can be put at the name between choosing it and opening it. Its name is path().
    bool Create(const std::string& outputPath, platform::RawFile* file, std::string* error);
    const std::string& path() const { return path_; }
    // Gives the temporary file the permissions `mode` (less the umask) and the name
    // `outputPath`. The file must be closed.
    bool Commit(const std::string& outputPath, mode_t mode, std::string* error);

private:
    std::string path_;
};

}  // namespace sfxpack
