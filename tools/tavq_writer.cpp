#include "tools/tavq_writer.h"

#include <cstdint>
#include <stdexcept>

#include "archive/tavq_format.h"
#include "tools/lzw_encoder.h"

namespace sfxpack {

namespace {
template <size_t N>
void Append(std::string* out, const unsigned char (&part)[N]) {
    out->append(reinterpret_cast<const char*>(part), N);
}
}  // namespace

std::string BuildTavqArchive(const std::vector<TavqNode>& nodes) {
    namespace tavq = archive::tavq;
    std::string out;
    unsigned char header[tavq::kHeaderSize];
    tavq::WriteHeader(header, static_cast<uint32_t>(nodes.size()));
    Append(&out, header);
    unsigned char beginMark[tavq::kBeginMarkSize];
    tavq::WriteBeginMark(beginMark);
    Append(&out, beginMark);
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
        unsigned char nodeHeader[tavq::kNodeHeaderSize];
        tavq::WriteNodeHeader(nodeHeader, static_cast<uint32_t>(node.data.size()),
                              static_cast<uint32_t>(stream.size()),
                              static_cast<uint16_t>(node.name.size()));
        Append(&out, nodeHeader);
        out += node.name;
        out += stream;
    }
    return out;
}

}  // namespace sfxpack
