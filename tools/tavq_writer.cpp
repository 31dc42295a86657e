#include "tools/tavq_writer.h"

#include <cstdint>
#include <stdexcept>

#include "tools/lzw_encoder.h"

namespace sfxpack {

namespace {
void PutU16(std::string* out, uint32_t value) {
    out->push_back(static_cast<char>(value & 0xFF));
    out->push_back(static_cast<char>(value >> 8 & 0xFF));
}
void PutU32(std::string* out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}
const char kFiller[] = "\xCC\xCC";
}  // namespace

std::string BuildTavqArchive(const std::vector<TavqNode>& nodes) {
    std::string out = "TAVQ";
    PutU16(&out, 10);  // version
    out.append(kFiller, 2);
    PutU32(&out, static_cast<uint32_t>(nodes.size()));
    PutU16(&out, 0x00EE);  // begin mark: node mark, compress mark, reserved
    PutU16(&out, 0x0090);
    PutU16(&out, 0);
    for (const TavqNode& node : nodes) {
        // The sizes are 32 bits and the name length 16: a larger file would be cut silently.
        if (node.name.size() > 0xFFFF)
            throw std::length_error("the name " + node.name.substr(0, 40) +
                                    "... is longer than 65535 bytes");
        if (node.data.size() > 0xFFFFFFFFu)
            throw std::length_error(node.name + " is larger than 4 GiB");
        const std::string stream =
            LzwEncode(reinterpret_cast<const unsigned char*>(node.data.data()), node.data.size());
        if (stream.size() > 0xFFFFFFFFu)
            throw std::length_error(node.name + " compresses to more than 4 GiB");
        PutU16(&out, 0x00FF);
        out.append(kFiller, 2);
        PutU32(&out, 0);  // reserved
        PutU32(&out, static_cast<uint32_t>(node.data.size()));
        PutU32(&out, static_cast<uint32_t>(stream.size()));
        PutU16(&out, static_cast<uint32_t>(node.name.size()));
        out.append(kFiller, 2);
        out += node.name;
        out += stream;
    }
    return out;
}

}  // namespace sfxpack
