#include "tools/tavq_writer.h"

#include <cstdint>
#include <stdexcept>

#include "archive/tavq_format.h"
#include "package/crc32.h"
#include "tools/lzma_encoder.h"
#include "tools/lzw_encoder.h"

namespace sfxpack {

namespace tavq = archive::tavq;

namespace {
template <size_t N>
void Append(std::string* out, const unsigned char (&part)[N]) {
    out->append(reinterpret_cast<const char*>(part), N);
}

void AppendHead(std::string* out, uint32_t nodeCount, uint16_t version) {
    unsigned char header[tavq::kHeaderSize];
    tavq::WriteHeader(header, nodeCount, version);
    Append(out, header);
    unsigned char beginMark[tavq::kBeginMarkSize];
    tavq::WriteBeginMark(beginMark);
    Append(out, beginMark);
}

// The sizes are 32 bits and the name length 16: a larger file would be cut silently.
void AppendNode(std::string* out, const std::string& name, uint64_t size, const std::string& stream,
                uint32_t check = 0) {
    if (name.size() > 0xFFFF)
        throw std::length_error("the name " + name.substr(0, 40) +
                                "... is longer than 65535 bytes");
    if (size > 0xFFFFFFFFu) throw std::length_error(name + " is larger than 4 GiB");
    if (stream.size() > 0xFFFFFFFFu)
        throw std::length_error(name + " compresses to more than 4 GiB");
    unsigned char nodeHeader[tavq::kNodeHeaderSize];
    tavq::WriteNodeHeader(nodeHeader, static_cast<uint32_t>(size),
                          static_cast<uint32_t>(stream.size()), static_cast<uint16_t>(name.size()),
                          check);
    Append(out, nodeHeader);
    *out += name;
    *out += stream;
}
}  // namespace

std::string BuildTavqArchive(const std::vector<TavqNode>& nodes, Method method, int level) {
    std::string out;
    AppendHead(&out, static_cast<uint32_t>(nodes.size()),
               method == Method::Lzma ? tavq::kLzmaVersion : tavq::kVersion);
    for (const TavqNode& node : nodes) {
        const auto* data = reinterpret_cast<const unsigned char*>(node.data.data());
        if (method == Method::Lzma)
            AppendNode(&out, node.name, node.data.size(), LzmaEncode(data, node.data.size(), level),
                       package::Crc32(0, data, node.data.size()));
        else
            AppendNode(&out, node.name, node.data.size(), LzwEncode(data, node.data.size()));
    }
    return out;
}

std::string BuildSolidArchive(const std::string& stream, const std::vector<SolidPart>& parts) {
    uint64_t total = 0;
    for (const SolidPart& part : parts) total += part.copyOf ? 0 : part.size;
    std::string out;
    AppendHead(&out, static_cast<uint32_t>(parts.size() + 1), tavq::kSolidVersion);
    if (total > 0xFFFFFFFFu)
        throw std::length_error("the files of the solid stream hold more than 4 GiB");
    AppendNode(&out, "", total, stream);
    for (const SolidPart& part : parts) {
        unsigned char node[tavq::kNodeHeaderSize];
        tavq::WriteNodeHeader(node, part.size, part.copyOf, 0, part.crc);
        Append(&out, node);
    }
    return out;
}

}  // namespace sfxpack
