// Writes "TAVQ" archives: version 10, one node per file, each node's data LZW-encoded.
#pragma once

#include <string>
#include <vector>

namespace sfxpack {

struct TavqNode {
    std::string name;  // stored name, GBK; the installer never reads it
    std::string data;  // the file's bytes, uncompressed
};

// The whole archive, nodes in the order given.
std::string BuildTavqArchive(const std::vector<TavqNode>& nodes);

}  // namespace sfxpack
