#include "package/package_end.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>

#include "package/crc32.h"
#include "package/package_sum.h"
#include "package/settings_loader.h"
#include "package_builder.h"

namespace {
using State = package::ChecksumRecord::State;

// The record our packer writes, computed with zlib, which this project does not link.
std::string RecordFor(const std::string& bytes, size_t from) {
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()) + from,
                            static_cast<uInt>(bytes.size() - from));
    char record[64];
    std::snprintf(record, sizeof record, "CRC32:%08lX,FROM:%zu.", crc, from);
    return record;
}

class PackageEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        pkg.image = PeImage();
        pkg.items[40] = "App";
        pkg.items[63] = "CRC32";
        from = pkg.image.size();
        pkg.Add(std::string(3000, 'd'));
        checked = pkg.Bytes();
        checked += RecordFor(checked, from);
    }
    package::PackageTrailer Read(const std::string& bytes) {
        WriteBytes(dir.File("setup.exe"), bytes);
        package::PackageTrailer trailer;
        loaded = package::LoadSettings(dir.File("setup.exe"), &model, &trailer) ==
                 package::LoadResult::Loaded;
        return trailer;
    }
    package::SumResult Sum(const std::string& bytes) {
        const package::PackageTrailer trailer = Read(bytes);
        platform::RawFile file;
        EXPECT_TRUE(file.OpenRead(dir.File("setup.exe")));
        return package::CheckPackageSum(file, trailer.checksum);
    }
    TempDir dir;
    TestPackage pkg;
    size_t from = 0;
    std::string checked;
    package::SetupModel model;
    bool loaded = false;
};
}  // namespace

TEST(Crc32, KnownValueAndAnySplitGiveTheSameSum) {
    EXPECT_EQ(package::Crc32(0, "123456789", 9), 0xCBF43926u);
    std::string data(1000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + (i >> 3));
    const uint32_t whole = package::Crc32(0, data.data(), data.size());
    for (size_t cut : {1u, 7u, 8u, 13u, 999u}) {
        const uint32_t first = package::Crc32(0, data.data(), cut);
        EXPECT_EQ(package::Crc32(first, data.data() + cut, data.size() - cut), whole) << cut;
    }
}

TEST_F(PackageEndTest, ASignedPackageReadsAsItDidUnsignedWithAnyPadding) {
    const package::PackageTrailer plain = Read(checked);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(plain.checksum.state, State::Present);
    for (size_t padding = 0; padding <= 7; ++padding) {
        const package::PackageTrailer signedOne = Read(Signed(checked, padding));
        ASSERT_TRUE(loaded) << padding;
        EXPECT_STREQ(model.appName, "App");
        EXPECT_EQ(signedOne.offset, plain.offset);
        EXPECT_EQ(signedOne.dataEnd, static_cast<int64_t>(checked.size())) << padding;
        EXPECT_EQ(signedOne.checksum.state, State::Present);
        EXPECT_EQ(Sum(Signed(checked, padding)), package::SumResult::Match) << padding;
    }
}

TEST_F(PackageEndTest, ASignatureThatDoesNotEndTheFileOrLeavesItIsDamage) {
    const std::string good = Signed(checked, 0);
    package::PackageTrailer trailer = Read(good + "x");
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(trailer.signatureDamaged);
    // Pointing past the end, into the headers, and at the package's own settings block.
    const std::string outside = PeImage(static_cast<uint32_t>(checked.size()), 1 << 20);
    const std::string headers = PeImage(0x40, static_cast<uint32_t>(checked.size() - 0x40));
    for (const std::string& header : {outside, headers}) {
        std::string bytes = checked;
        bytes.replace(0, 0x200, header, 0, 0x200);
        trailer = Read(bytes);
        EXPECT_FALSE(loaded);
        EXPECT_TRUE(trailer.signatureDamaged);
    }
    const uint32_t settings = static_cast<uint32_t>(pkg.image.size() + 10);
    std::string intoPackage = checked;
    intoPackage.replace(0, 0x200, PeImage(settings, static_cast<uint32_t>(checked.size() - settings)),
                        0, 0x200);
    Read(intoPackage);
    EXPECT_FALSE(loaded);
}

TEST_F(PackageEndTest, EveryChangedByteIsFoundAndAStopIsNoVerdict) {
    EXPECT_EQ(Sum(checked), package::SumResult::Match);
    // A byte of the data, of the settings block, of the trailer's numbers.
    for (size_t at : {from, from + 2999, checked.find("&LEN:") - 5, checked.find(",SEEK:") - 1}) {
        std::string bytes = checked;
        bytes[at] ^= 0x01;
        EXPECT_NE(Sum(bytes), package::SumResult::Match) << at;
    }
    struct Stop : package::SumProgress {
        bool Advance(int64_t, int64_t) override { return false; }
    } stop;
    const package::PackageTrailer trailer = Read(checked);
    platform::RawFile file;
    ASSERT_TRUE(file.OpenRead(dir.File("setup.exe")));
    EXPECT_EQ(package::CheckPackageSum(file, trailer.checksum, &stop), package::SumResult::Cancelled);
}

TEST_F(PackageEndTest, TheRecordIsOursOnlyWhenWholeAndOtherTextAfterTheTrailerIsIgnored) {
    const std::string plain = pkg.Bytes();
    EXPECT_EQ(Read(plain + "\r\n").checksum.state, State::None);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(Read(checked + "       ").checksum.state, State::Present);
    const std::string record = RecordFor(plain, from);
    for (const std::string& damaged :
         std::initializer_list<std::string>{record.substr(0, 10), "CRC32:1234567G,FROM:1000.", "CRC32:12345678,FROM:.",
          "CRC32:12345678,FROM:1000", "CRC32:12345678,FROM:1000.x",
          "CRC32:12345678,FROM:99999999."}) {
        EXPECT_EQ(Read(plain + damaged).checksum.state, State::Damaged) << damaged;
        EXPECT_TRUE(loaded) << "the settings still read; the installer refuses the package";
    }
}
