#include "package/crc32.h"

#include <new>

namespace package {

namespace {
using Table = uint32_t[8][256];

// Made on first use, on the heap: as a static array its 8 KB would be stored in every package's
// stub. Without the memory the sum is taken a bit at a time, slowly but the same.
const Table* Tables() {
    static Table* table = nullptr;
    if (table) return table;
    table = reinterpret_cast<Table*>(new (std::nothrow) uint32_t[8 * 256]);
    if (!table) return nullptr;
    Table& t = *table;
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < 8; ++k) t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
    return table;
}
}  // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t count) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    const Table* tables = Tables();
    if (!tables) {
        for (; count > 0; --count) {
            crc ^= *p++;
            for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        return ~crc;
    }
    const Table& t = *tables;
    for (; count >= 8; count -= 8, p += 8) {
        const uint32_t low =
            (p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24) ^ crc;
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
              t[4][low >> 24] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; count > 0; --count) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace package
