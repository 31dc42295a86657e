#include "package/trailer.h"

#include <algorithm>
#include <cstring>

#include "package/number.h"
#include "package/package_end.h"
#include "platform/gbk.h"

namespace package {

PackageTrailer ParseTrailerText(const char* text, size_t size) {
    // Only the positions of ':', ',' and '.' matter; the labels are never compared.
    const char* end = text + size;
    const char* colon = std::find(text, end, ':');
    const char* comma = std::find(text, end, ',');
    PackageTrailer trailer;
    if (colon < comma) trailer.length = ParseNumber(colon + 1, comma);
    if (comma < end) {
        const char* seekColon = std::find(comma, end, ':');
        const char* dot = std::find(text, end, '.');
        if (seekColon < dot) trailer.offset = ParseNumber(seekColon + 1, dot);
    }
    return trailer;
}

bool BlockBeforeTrailer(const PackageTrailer& trailer) {
    return trailer.length > 0 && trailer.offset >= 0 &&
           static_cast<int64_t>(trailer.offset) + trailer.length <= trailer.trailerOffset;
}

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ReadTrailer(const platform::SysChar* path, PackageTrailer* trailer) {
    platform::RawFile file;
    return file.OpenRead(path) && ReadTrailer(file, trailer);
}

bool ReadTrailer(platform::RawFile& file, PackageTrailer* trailer) {
    int64_t dataEnd = 0;
    if (!FindDataEnd(file, &dataEnd)) {
        trailer->signatureDamaged = true;
        return false;
    }
    const int64_t windowStart = std::max<int64_t>(0, dataEnd - kTrailerWindow);
    char window[kTrailerWindow];
    if (file.Seek(windowStart, platform::RawFile::Origin::Begin) < 0) return false;
    const size_t got = file.Read(window, static_cast<size_t>(dataEnd - windowStart));

    // Walking backwards, the last "&" of the window starts the trailer; one standing on the
    // window's first byte would make a trailer of 127 bytes, which is too long.
    size_t amp = got;
    while (amp > 0 && window[amp - 1] != '&') --amp;
    if (amp <= 1) return false;
    *trailer = ParseTrailerText(window + amp, got - amp);
    trailer->trailerOffset = windowStart + static_cast<int64_t>(amp) - 1;
    trailer->dataEnd = dataEnd;
    // What follows the "." is kept for ReadChecksumRecord.
    const char* dot = std::find(window + amp, window + got, '.');
    trailer->checksum.to = windowStart + (dot + 1 - window);
    if (dot < window + got) {
        trailer->tailSize = static_cast<size_t>(window + got - (dot + 1));
        std::memcpy(trailer->tail, dot + 1, trailer->tailSize);
    }
    trailer->tail[trailer->tailSize] = '\0';
    return true;
}

// Text that does not begin with the record's label is some other tool's (a line end) and
// ignored; a record that begins so but is not whole was damaged.
void ReadChecksumRecord(PackageTrailer* trailer) {
    ChecksumRecord& record = trailer->checksum;
    const char* at = trailer->tail;
    const size_t label = sizeof kChecksumLabel - 1;
    if (std::strncmp(at, kChecksumLabel, label) != 0) return;
    record.state = ChecksumRecord::State::Damaged;
    at += label;
    uint32_t crc = 0;
    for (int i = 0; i < 8; ++i, ++at) {
        const int digit = HexDigit(*at);
        if (digit < 0) return;
        crc = crc << 4 | static_cast<uint32_t>(digit);
    }
    if (std::strncmp(at, kChecksumFrom, sizeof kChecksumFrom - 1) != 0) return;
    at += sizeof kChecksumFrom - 1;
    const char* digits = at;
    uint32_t from = 0;
    for (; *at >= '0' && *at <= '9'; ++at) {
        if (from > 214748364) return;  // past every offset a package can have
        from = from * 10 + static_cast<uint32_t>(*at - '0');
    }
    if (at == digits || *at++ != '.') return;
    while (*at == ' ') ++at;
    record.crc = crc;
    record.from = from;
    if (at == trailer->tail + trailer->tailSize && record.from <= trailer->trailerOffset)
        record.state = ChecksumRecord::State::Present;
}

size_t FormatTrailer(int32_t length, int32_t offset, char* text) {
    std::memcpy(text, "&LEN:", 5);
    size_t at = 5 + gbk::FormatDecimal(length, text + 5);
    std::memcpy(text + at, ",SEEK:", 6);
    at += 6;
    at += gbk::FormatDecimal(offset, text + at);
    text[at++] = '.';
    text[at] = '\0';
    return at;
}

size_t FormatChecksumRecord(uint32_t crc, int64_t from, char* text) {
    static const char kHex[] = "0123456789ABCDEF";
    size_t at = sizeof kChecksumLabel - 1;
    std::memcpy(text, kChecksumLabel, at);
    for (int shift = 28; shift >= 0; shift -= 4) text[at++] = kHex[(crc >> shift) & 0xF];
    std::memcpy(text + at, kChecksumFrom, sizeof kChecksumFrom - 1);
    at += sizeof kChecksumFrom - 1;
    at += gbk::FormatDecimal(from, text + at);
    text[at++] = '.';
    text[at] = '\0';
    return at;
}

bool WriteTrailer(platform::RawFile& file, int32_t length, int32_t offset) {
    char text[kTrailerRoom];
    return file.Write(text, FormatTrailer(length, offset, text));
}

}  // namespace package
