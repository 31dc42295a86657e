#include "uninstaller/summary.h"

#include "platform/gbk.h"
#include "uninstaller/messages.h"

namespace unwise {

namespace {
enum Group { kOther, kFailed, kUnlisted, kUnloaded, kShared, kRefused, kNotEmpty, kGroups };

Group GroupOf(Verdict verdict) {
    switch (verdict) {
        case Verdict::OtherApplication: return kOther;
        case Verdict::Failed: return kFailed;
        case Verdict::Unlisted: return kUnlisted;
        case Verdict::Unloaded: return kUnloaded;
        case Verdict::Shared: return kShared;
        case Verdict::NotEmpty: return kNotEmpty;
        default: return kRefused;
    }
}

const char* Heading(Group group) {
    switch (group) {
        case kOther: return text::kOtherApplicationHeading;
        case kFailed: return text::kFailedHeading;
        case kUnlisted: return text::kUnlistedHeading;
        case kUnloaded: return text::kUnloadedHeading;
        case kShared: return text::kSharedHeading;
        case kRefused: return text::kRefusedHeading;
        default: return text::kNotEmptyHeading;
    }
}

const char* RefusalText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Outside: return text::kOutside;
        case Verdict::NotPlain: return text::kNotPlain;
        case Verdict::NotAFile: return text::kNotAFile;
        case Verdict::NotOurLink: return text::kNotOurLink;
        case Verdict::LinkTarget: return text::kLinkTarget;
        default: return "";
    }
}

bool AppendItem(const Report& report, int32_t index, ReasonSource& reasons,
                platform::TextBuffer* out) {
    const Report::Entry& entry = report.entry(index);
    bool ok = out->Append("    ");
    if (entry.subject == Subject::FileType) ok = ok && out->Append(text::kFileType);
    if (entry.subject == Subject::Entry)
        ok = ok && out->Append(text::kUninstallEntry);
    else
        ok = ok && out->Append(report.text(index));
    const char* refusal = RefusalText(entry.verdict);
    if (*refusal) ok = ok && out->Append(" (") && out->Append(refusal) && out->Append(")");
    ok = ok && out->Append("\r\n");
    if (entry.verdict == Verdict::Failed && entry.error != 0) {
        char reason[512];
        reasons.Describe(entry.error, reason, sizeof reason);
        if (*reason)
            ok = ok && out->Append("        ") && out->Append(text::kReason) &&
                 out->Append(reason) && out->Append("\r\n");
    }
    return ok;
}
}  // namespace

bool FormatSummary(const Report& report, ReasonSource& reasons, platform::TextBuffer* out) {
    int named = 0;
    int32_t unnamed = 0;
    bool ok = out->Append("", 0);
    for (int group = 0; group < kGroups; ++group) {
        bool headed = false;
        for (int32_t i = 0; i < report.count(); ++i) {
            if (GroupOf(report.entry(i).verdict) != group) continue;
            if (named >= kSummaryItems) {
                ++unnamed;
                continue;
            }
            if (!headed) {
                if (out->size() > 0) ok = ok && out->Append("\r\n");
                ok = ok && out->Append(Heading(static_cast<Group>(group))) && out->Append("\r\n");
                headed = true;
            }
            ok = ok && AppendItem(report, i, reasons, out);
            ++named;
        }
    }
    if (unnamed > 0) {
        char count[24];
        gbk::FormatDecimal(unnamed, count);
        ok = ok && out->Append("\r\n") && out->Append(text::kMore) && out->Append(count) &&
             out->Append("\r\n");
    }
    return ok;
}

const char* UninstallerText(const package::UninstallerBlock& block, int index) {
    static const char* const kDefaults[package::kUninstallerTexts] = {
        text::kSomethingStayed, text::kRemoving, text::kRemoveQuestion, text::kRemoved};
    const char* text = block.texts[index];
    return *text ? text : kDefaults[index];
}

}  // namespace unwise
