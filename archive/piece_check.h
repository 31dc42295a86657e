// Whether the pieces of a package lie where the installer will read them. The settings name every
// piece (the pictures, the icon, each file's data) by a length and an offset of the running
// program, and the installer reads whatever they name: a damaged download (bytes lost from the
// middle, the settings block kept) would install half-empty or foreign bytes. The start-up
// checks every piece once, before the first page and before anything is written.
#pragma once

#include <cstdint>

#include "archive/archive_reader.h"
#include "platform/file.h"

namespace archive {

struct PieceProblem {
    enum Piece { None, WizardPicture, Icon, BackgroundPicture, File };
    enum Kind {
        Outside,         // not inside the file before the settings block
        NegativeLength,  // a file's data of fewer than 0 bytes
        BadArchive,      // a compressed file whose archive fails its head (see `archive`)
        CannotRead,      // the package could not be read
    };
    Piece piece = None;
    Kind kind = Outside;
    int32_t file = -1;  // the file's index in the list, for Piece::File
    Refusal archive = Refusal::None;
    bool ok() const { return piece == None; }
};

// Whether `length` bytes at `offset` lie inside the file, before the settings block, which
// begins at `settingsOffset`.
inline bool PieceInside(int64_t length, int64_t offset, int64_t settingsOffset) {
    return length >= 0 && offset >= 0 && offset <= settingsOffset - length;
}

// The pieces of one package, told one at a time as plain numbers (install/package_pieces.h
// walks the settings): the check keeps one read window over the package, so that the heads of
// many small compressed files come from a read each few kilobytes. `package` is the package
// open for reading, `settingsOffset` where its settings block begins.
class PieceCheck {
public:
    PieceCheck(platform::RawFile& package, int64_t settingsOffset)
        : package_(package), settingsOffset_(settingsOffset) {}

    // A picture or icon: a length of 0 or less is none, and stays none.
    PieceProblem Picture(PieceProblem::Piece piece, int32_t length, int32_t offset) const {
        PieceProblem problem;  // Outside, should it be a problem
        if (length > 0 && !PieceInside(length, offset, settingsOffset_)) problem.piece = piece;
        return problem;
    }
    // File `index`'s data: a length of 0 or more (a stored file of 0 bytes needs no bytes),
    // and for a compressed file its archive's head (CheckArchiveHead). For a file of a solid
    // archive, `solidPart` receives which of its files this one is (its place among the files
    // told so far that name the same archive) and `solidSize` that file's size; otherwise
    // `solidPart` receives -1.
    PieceProblem File(int32_t index, int32_t length, int32_t offset, bool compressed,
                      int32_t* solidPart = nullptr, uint32_t* solidSize = nullptr);

    // Packages of more solid archives than this are refused.
    static constexpr int kSolidArchives = 4;

private:
    bool ReadHead(int64_t offset, unsigned char* out, size_t count);
    // The next file of solid archive `solid`, or a refusal.
    Refusal NextSolidPart(int solid, int32_t* part, uint32_t* size);

    struct Solid {
        int64_t offset;
        int32_t length;
        int64_t table;   // where the files' nodes begin
        uint32_t parts;  // how many there are
        uint32_t next;   // the part the next file that names the archive takes
    };
    Solid solids_[kSolidArchives];
    int solidCount_ = 0;

    platform::RawFile& package_;
    int64_t settingsOffset_;
    int64_t windowStart_ = -1;
    int64_t windowSize_ = 0;
    unsigned char window_[4096];
};

}  // namespace archive
