#include "package/package_end.h"

#include <cstring>

namespace package {

namespace {
uint32_t Little(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads what is there; the rest of `buffer` stays zero, which no check below takes for a header.
void ReadAt(platform::RawFile& file, int64_t offset, unsigned char* buffer, size_t count) {
    if (file.Seek(offset, platform::RawFile::Origin::Begin) == offset) file.Read(buffer, count);
}

constexpr int kSecurityDirectory = 4;
// The PE signature, the file header, and the optional header of a PE32+ image up to the end of
// its security directory (a PE32 image's ends sooner).
constexpr size_t kHeaders = 4 + 20 + 112 + (kSecurityDirectory + 1) * 8;
}  // namespace

Signature FindCertificateTable(platform::RawFile& file, CertificateTable* table) {
    const int64_t length = file.Length();
    unsigned char dos[64] = {};
    unsigned char pe[kHeaders] = {};
    ReadAt(file, 0, dos, sizeof dos);
    if (dos[0] != 'M' || dos[1] != 'Z') return Signature::None;
    const int64_t at = Little(dos + 0x3C);
    ReadAt(file, at, pe, sizeof pe);
    if (std::memcmp(pe, "PE\0\0", 4) != 0) return Signature::None;
    const uint32_t optionalSize = pe[20] | pe[21] << 8;
    const unsigned char* optional = pe + 24;
    // PE32 (0x10B) or PE32+ (0x20B): the directories begin 16 bytes later in the latter.
    if (optional[0] != 0x0B || (optional[1] != 1 && optional[1] != 2)) return Signature::None;
    const uint32_t count = optional[1] == 1 ? 92 : 108;
    const uint32_t entry = count + 4 + kSecurityDirectory * 8;
    if (entry + 8 > optionalSize || Little(optional + count) <= kSecurityDirectory)
        return Signature::None;
    table->offset = Little(optional + entry);
    table->size = Little(optional + entry + 4);
    table->entryOffset = at + 24 + entry;
    table->checksumOffset = at + 24 + 64;
    if (table->offset == 0 && table->size == 0) return Signature::None;
    // A table inside the headers, outside the file, or with bytes after it: the file was
    // changed (appended to, cut, or written over) after it was signed.
    if (table->offset < at + 24 + optionalSize || table->size < 8 ||
        table->offset + table->size != length)
        return Signature::Damaged;
    return Signature::Present;
}

bool FindDataEnd(platform::RawFile& file, int64_t* end) {
    CertificateTable table;
    switch (FindCertificateTable(file, &table)) {
        case Signature::None: *end = file.Length(); return *end >= 0;
        case Signature::Damaged: return false;
        case Signature::Present: break;
    }
    // The package's last byte is its trailer's, never a zero: zeros before the table are the
    // signer's padding.
    unsigned char before[kSignaturePadding] = {1, 1, 1, 1, 1, 1, 1};
    ReadAt(file, table.offset - kSignaturePadding, before, sizeof before);
    int64_t at = table.offset;
    while (at > table.offset - kSignaturePadding && before[at - table.offset + 6] == 0) --at;
    *end = at;
    return true;
}

}  // namespace package
