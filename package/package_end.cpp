#include "package/package_end.h"

namespace package {

namespace {
uint32_t Little(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

bool ReadAt(platform::RawFile& file, int64_t offset, unsigned char* buffer, size_t count) {
    return file.Seek(offset, platform::RawFile::Origin::Begin) == offset &&
           file.Read(buffer, count) == count;
}

// PE32 and PE32+: where the data directories begin in the optional header.
constexpr uint16_t kPe32 = 0x10B;
constexpr uint16_t kPe32Plus = 0x20B;
constexpr int kSecurityDirectory = 4;
}  // namespace

Signature FindCertificateTable(platform::RawFile& file, CertificateTable* table) {
    const int64_t length = file.Length();
    unsigned char dos[64];
    if (length < 64 || !ReadAt(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return Signature::None;
    const int64_t pe = Little(dos + 0x3C, 4);
    // The signature, the file header and the optional header up to its directories.
    unsigned char head[4 + 20 + 2];
    if (pe + static_cast<int64_t>(sizeof head) > length || !ReadAt(file, pe, head, sizeof head) ||
        head[0] != 'P' || head[1] != 'E' || head[2] != 0 || head[3] != 0)
        return Signature::None;
    const int64_t optional = pe + 24;
    const uint32_t optionalSize = Little(head + 4 + 16, 2);
    const uint32_t magic = Little(head + 24, 2);
    if (magic != kPe32 && magic != kPe32Plus) return Signature::None;
    const int64_t countAt = optional + (magic == kPe32 ? 92 : 108);
    const int64_t entry = countAt + 4 + kSecurityDirectory * 8;
    unsigned char count[4];
    unsigned char directory[8];
    if (entry + 8 > optional + optionalSize || !ReadAt(file, countAt, count, 4) ||
        Little(count, 4) <= kSecurityDirectory || !ReadAt(file, entry, directory, 8))
        return Signature::None;
    table->offset = Little(directory, 4);
    table->size = Little(directory + 4, 4);
    table->entryOffset = entry;
    table->checksumOffset = optional + 64;
    if (table->offset == 0 && table->size == 0) return Signature::None;
    // A table inside the headers, outside the file, or with bytes after it: the file was
    // changed (appended to, cut, or written over) after it was signed.
    if (table->offset < optional + optionalSize || table->size < 8 ||
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
    unsigned char before[kSignaturePadding];
    const int64_t from = table.offset - kSignaturePadding;
    int64_t at = table.offset;
    if (from >= 0 && ReadAt(file, from, before, sizeof before))
        while (at > from && before[at - from - 1] == 0) --at;
    *end = at;
    return true;
}

}  // namespace package
