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
