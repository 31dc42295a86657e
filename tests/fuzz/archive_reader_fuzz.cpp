// Any bytes as an archive held in memory; the first byte is the node to extract.
#include <cstddef>
#include <cstdint>

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
    return 0;
}
