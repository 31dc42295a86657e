// Writes packages for the loader tests, byte by byte, without the code under test.
#pragma once

#include <string>
#include <vector>

#include "temp_dir.h"

// negate(byte XOR K), K the XOR of the bytes of "wirl.dat": the scrambling, written out by hand.
inline std::string ScrambledByHand(std::string block) {
    const unsigned char k = 'w' ^ 'i' ^ 'r' ^ 'l' ^ '.' ^ 'd' ^ 'a' ^ 't';
    for (char& c : block) c = static_cast<char>(-(static_cast<unsigned char>(c) ^ k));
    return block;
}

struct TestPackage {
    std::string image = std::string("MZ") + std::string(998, '\x90');  // stands for the program
    std::vector<std::string> items;                                    // the plain settings items
    std::string extraAfterTrailer;

    TestPackage() : items(64) {}

    // Appends a piece of data to the image and returns its offset.
    int Add(const std::string& bytes) {
        int offset = static_cast<int>(image.size());
        image += bytes;
        return offset;
    }

    void AddFile(const std::string& name, const std::string& folder, const std::string& sub,
                 int shortcuts, const std::string& overwrite, int length, int offset,
                 bool compressed) {
        for (const std::string& item :
             {name, folder, sub, std::to_string(shortcuts), overwrite, std::to_string(length),
              std::to_string(offset), std::string(compressed ? "TRUE" : "FALSE")})
            items.push_back(item);
    }

    // Eight items a row, as the packer writes them.
    std::string PlainBlock() const {
        std::string block;
        for (size_t i = 0; i < items.size(); ++i)
            block += items[i] + (i % 8 == 7 ? std::string("\x08\r\n") : std::string("\x07"));
        return block;
    }

    std::string Bytes() const {
        const std::string block = ScrambledByHand(PlainBlock());
        return image + block + "&LEN:" + std::to_string(block.size()) +
               ",SEEK:" + std::to_string(image.size()) + "." + extraAfterTrailer;
    }

    void Write(const std::string& path) const { WriteBytes(path, Bytes()); }
};

// A PE32 header with its 16 data directories and nothing else: enough for the rule that finds
// a signature. `table` and `size` go into the security directory.
inline std::string PeImage(uint32_t table = 0, uint32_t size = 0, size_t length = 0x400) {
    std::string image(length, '\0');
    auto put = [&image](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
    };
    image[0] = 'M';
    image[1] = 'Z';
    put(0x3C, 0x80, 4);
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    put(0x80 + 4 + 16, 224, 2);          // the optional header's size
    put(0x98, 0x10B, 2);                 // PE32
    put(0x98 + 92, 16, 4);               // directories
    put(0x98 + 96 + 4 * 8, table, 4);    // security: file offset
    put(0x98 + 96 + 4 * 8 + 4, size, 4); //           and size
    return image;
}

// The image with a certificate table of `tableSize` bytes appended after `padding` zero bytes,
// and its directory pointing at it, as a signer leaves it.
inline std::string Signed(std::string bytes, size_t padding, size_t tableSize = 64) {
    bytes.append(padding, '\0');
    const std::string header = PeImage(static_cast<uint32_t>(bytes.size()),
                                       static_cast<uint32_t>(tableSize));
    bytes.replace(0, 0x200, header, 0, 0x200);
    return bytes + std::string(tableSize, '\x30');
}
