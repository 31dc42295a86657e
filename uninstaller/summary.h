// The summary the uninstaller shows at the end: what stayed, grouped (could not be removed, left
// for other programs, not ours, folders still in use), each with its reason. GBK, lines joined
// by CR LF as an edit control shows them. Portable; the system's words for an error come from
// outside.
#pragma once

#include <cstddef>

#include "package/install_records.h"
#include "package/uninstaller_block.h"
#include "platform/file.h"
#include "uninstaller/removal.h"

namespace unwise {

class ReasonSource {
public:
    virtual ~ReasonSource() = default;
    // The system's words for `error` (GBK, one line), or empty.
    virtual void Describe(platform::ErrorCode error, char* text, size_t room) = 0;
};

// At most this many items are named; the rest are counted.
constexpr int kSummaryItems = 300;

bool FormatSummary(const Report& report, ReasonSource& reasons, platform::TextBuffer* out);

// The publisher's text `index` (0 to 3), or its default when empty.
const char* UninstallerText(const package::UninstallerBlock& block, int index);

}  // namespace unwise
