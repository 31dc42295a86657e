// Whether the pieces of a package lie where the installer will read them. The settings name every
// piece (the pictures, the icon, each file's data) by a length and an offset of the running
// program, and the installer reads whatever they name: a damaged download (bytes lost from the
// middle, the settings block kept) would install half-empty or foreign bytes. The start-up
// checks every piece once, before the first page and before anything is written.
#pragma once

#include <cstdint>

#include "archive/archive_reader.h"
#include "package/setup_model.h"
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
bool PieceInside(int64_t length, int64_t offset, int64_t settingsOffset);

// Every piece that `model` names: a picture or icon of a length above 0 (0 or less is none,
// and stays none), each file's data (a length of 0 or more; a stored file of 0 bytes needs no
// bytes), and for a compressed file its archive's head (CheckArchiveHead). `package` is the
// package open for reading. The first problem found, or none.
PieceProblem CheckPieces(const package::SetupModel& model, int64_t settingsOffset,
                         platform::RawFile& package);

}  // namespace archive
