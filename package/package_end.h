// Where a package's own bytes end. A publisher signs what it ships: Authenticode appends a
// certificate table behind our trailer and names it in the PE header's security directory.
// Every reader of a package or of an uninstaller's block asks here, so that a signed file reads
// exactly as it did before it was signed.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace package {

// A signer pads the file with up to this many zero bytes so that the table starts on 8 bytes.
constexpr int kSignaturePadding = 7;

enum class Signature { None, Present, Damaged };

// The certificate table that the PE security directory names, and where that directory entry
// and the header's checksum lie (a writer that removes the table clears both).
struct CertificateTable {
    int64_t offset = 0;
    int64_t size = 0;
    int64_t entryOffset = 0;     // the directory entry: offset and size, 4 bytes each
    int64_t checksumOffset = 0;  // the optional header's CheckSum
};

// None for a file that is no PE image or whose security directory is empty. Damaged when the
// directory points before the end of the headers or outside the file, or when other bytes
// follow the table: such a file was changed after it was signed.
Signature FindCertificateTable(platform::RawFile& file, CertificateTable* table);

// The end of the package's bytes in `file`: its length, or where the certificate table begins
// when one ends the file, less the signer's zero padding. False when the signature is damaged.
bool FindDataEnd(platform::RawFile& file, int64_t* end);

}  // namespace package
