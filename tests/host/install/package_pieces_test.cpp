#include "install/package_pieces.h"

#include <gtest/gtest.h>

#include <string>

#include "package/settings_loader.h"
#include "package_builder.h"
#include "tavq_bytes.h"
#include "temp_dir.h"

namespace {

using archive::PieceProblem;
using archive::Refusal;

class PieceCheckTest : public ::testing::Test {
protected:
    PieceProblem Check() {
        pkg.Write(dir.File("setup.exe"));
        package::SetupModel model;
        package::PackageTrailer trailer;
        EXPECT_EQ(package::LoadSettings(dir.File("setup.exe"), &model, &trailer),
                  package::LoadResult::Loaded);
        platform::RawFile file;
        EXPECT_TRUE(file.OpenRead(dir.File("setup.exe")));
        return install::CheckPackagePieces(model, trailer.offset, file);
    }
    void SetPiece(int lengthItem, int length, int offset) {
        pkg.items[lengthItem] = std::to_string(length);
        pkg.items[lengthItem + 1] = std::to_string(offset);
    }

    TempDir dir;
    TestPackage pkg;
};

// Items of the settings, counted from 0: picture, icon, background picture (length, offset).
constexpr int kPicture = 48, kIcon = 50, kBackground = 57;

TEST_F(PieceCheckTest, EveryPieceTheFormatAllowsPasses) {
    SetPiece(kPicture, 10, pkg.Add(std::string(10, 'p')));
    // Absent pieces: a length of 0 or less, whatever the offset says.
    SetPiece(kIcon, 0, 999999);
    SetPiece(kBackground, -5, -1);
    const std::string archive = TavqHead() + TavqNodeBytes("a", "stream");
    pkg.AddFile("a.bin", "", "", 0, "", static_cast<int>(archive.size()), pkg.Add(archive), true);
    pkg.AddFile("empty", "", "", 0, "", 0, 123456789, false);
    // The last piece ends where the settings block begins.
    pkg.AddFile("b.txt", "", "", 0, "", 4, pkg.Add("data"), false);
    EXPECT_TRUE(Check().ok());
}

TEST_F(PieceCheckTest, EachPieceOutsideItsPlaceIsNamed) {
    const int picture = pkg.Add("picture");
    struct Case {
        int item;
        int length, offset;
        PieceProblem::Piece piece;
    } cases[] = {
        {kPicture, 8, picture, PieceProblem::WizardPicture},  // one byte into the block
        {kIcon, 1, -1, PieceProblem::Icon},
        {kBackground, 0x7FFFFFFF, 0x7FFFFFFF, PieceProblem::BackgroundPicture},
    };
    for (const Case& c : cases) {
        TestPackage saved = pkg;
        SetPiece(c.item, c.length, c.offset);
        const PieceProblem problem = Check();
        EXPECT_EQ(problem.piece, c.piece) << c.item;
        EXPECT_EQ(problem.kind, PieceProblem::Outside) << c.item;
        pkg = saved;
    }
}

TEST_F(PieceCheckTest, AFilesDataOutsideNegativeOrNotAnArchive) {
    pkg.AddFile("ok.txt", "", "", 0, "", 2, pkg.Add("ok"), false);
    const std::string archive = TavqHead() + TavqNodeBytes("a", "stream");
    const int at = pkg.Add(archive);
    struct Case {
        int length, offset;
        bool compressed;
        PieceProblem::Kind kind;
        Refusal refusal;
    } cases[] = {
        {-1, at, false, PieceProblem::NegativeLength, Refusal::None},
        {static_cast<int>(archive.size()) + 1, at, false, PieceProblem::Outside, Refusal::None},
        {5, -3, false, PieceProblem::Outside, Refusal::None},
        {0, at, true, PieceProblem::BadArchive, Refusal::TooShort},
        {static_cast<int>(archive.size()) - 1, at, true, PieceProblem::BadArchive,
         Refusal::NodeOutside},
        {static_cast<int>(archive.size()) - 1, at + 1, true, PieceProblem::BadArchive,
         Refusal::NotTavq},
    };
    for (const Case& c : cases) {
        TestPackage saved = pkg;
        pkg.AddFile("bad", "", "", 0, "", c.length, c.offset, c.compressed);
        const PieceProblem problem = Check();
        SCOPED_TRACE(std::to_string(c.length) + " at " + std::to_string(c.offset));
        EXPECT_EQ(problem.piece, PieceProblem::File);
        EXPECT_EQ(problem.file, 1);
        EXPECT_EQ(problem.kind, c.kind);
        EXPECT_EQ(problem.archive, c.refusal);
        pkg = saved;
    }
}

}  // namespace
