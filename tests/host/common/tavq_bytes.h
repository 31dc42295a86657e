// TAVQ archives written field by field for the reader's tests, independently of the tools.
#pragma once

#include <cstdint>
#include <string>

inline void PutLe(std::string* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// Header (magic, version, filler, node count) and begin mark.
inline std::string TavqHead(uint32_t nodeCount = 1, uint16_t version = 10,
                            const std::string& magic = "TAVQ", uint16_t nodeMark = 0xEE,
                            uint16_t compressMark = 0x90) {
    std::string out = magic;
    PutLe(&out, version, 2);
    out += "\xCC\xCC";
    PutLe(&out, nodeCount, 4);
    PutLe(&out, nodeMark, 2);
    PutLe(&out, compressMark, 2);
    PutLe(&out, 0, 2);
    return out;
}

// One node: header, name, compressed stream.
inline std::string TavqNodeBytes(const std::string& name, const std::string& stream,
                                 uint32_t uncompressedSize = 0, uint16_t mark = 0xFF) {
    std::string out;
    PutLe(&out, mark, 2);
    out += "\xCC\xCC";
    PutLe(&out, 0, 4);
    PutLe(&out, uncompressedSize, 4);
    PutLe(&out, static_cast<uint32_t>(stream.size()), 4);
    PutLe(&out, static_cast<uint32_t>(name.size()), 2);
    out += "\xCC\xCC";
    return out + name + stream;
}
