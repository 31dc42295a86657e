// Any bytes as an archive held in memory; the first byte is the node to extract. The start-up's
// check of an archive's head must refuse exactly what the reader refuses before the first node's
// stream, for the same reason.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archive/archive_reader.h"

namespace {
class Sink : public archive::ByteSink {
public:
    bool Write(const unsigned char* data, size_t count) override {
        for (size_t i = 0; i < count; ++i) sum += data[i];
        return true;
    }
    unsigned sum = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    Sink sink;
    const archive::ExtractResult result =
        archive::DecodeArchiveBytes(data + 1, size - 1, data[0] % 4, sink);
    if (!result.ok() && !*result.Reason()) __builtin_trap();

    unsigned char head[archive::kMinimumArchiveSize] = {};
    std::memcpy(head, data + 1, size - 1 < sizeof head ? size - 1 : sizeof head);
    const archive::Refusal checked =
        archive::CheckArchiveHead(head, static_cast<int64_t>(size - 1));
    if (data[0] % 4 == 0 && checked != archive::Refusal::NodeOutside) {
        const bool readerPassedHead = result.ok() || result.refusal == archive::Refusal::BadStream;
        if (checked == archive::Refusal::None ? !readerPassedHead : checked != result.refusal)
            __builtin_trap();
    }
    return 0;
}
