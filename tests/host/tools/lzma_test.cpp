// LZMA archives from the packer's encoder through the installer's decoder: per-file nodes, the
// solid stream and its place in the start-up check, and the damage each must refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/piece_check.h"
#include "archive/solid_stream.h"
#include "memory_streams.h"
#include "package/crc32.h"
#include "temp_dir.h"
#include "tools/lzma_encoder.h"
#include "tools/tavq_writer.h"

namespace {

using archive::DecodeStatus;

std::string Noise(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    return bytes;
}

archive::ExtractResult Decode(const std::string& archive, std::string* out) {
    StringSink sink;
    const archive::ExtractResult result = archive::DecodeArchiveBytes(
        reinterpret_cast<const unsigned char*>(archive.data()), archive.size(), 0, sink);
    *out = sink.bytes;
    return result;
}

// A one-node LZMA archive around `stream`, its node saying `size` bytes of CRC-32 `crc`.
std::string LzmaArchive(const std::string& stream, uint32_t size, uint32_t crc) {
    namespace tavq = archive::tavq;
    unsigned char head[tavq::kFirstNodeOffset + tavq::kNodeHeaderSize];
    tavq::WriteHeader(head, 1, tavq::kLzmaVersion);
    tavq::WriteBeginMark(head + tavq::kHeaderSize);
    tavq::WriteNodeHeader(head + tavq::kFirstNodeOffset, size, static_cast<uint32_t>(stream.size()),
                          0, crc);
    return std::string(reinterpret_cast<char*>(head), sizeof head) + stream;
}

uint32_t Crc(const std::string& bytes) { return package::Crc32(0, bytes.data(), bytes.size()); }

TEST(Lzma, DamageIsRefusedAndNeverPassesAsAFile) {
    const std::string data = Noise(20000, 1) + std::string(20000, 'z');
    const std::string good =
        sfxpack::LzmaEncode(reinterpret_cast<const unsigned char*>(data.data()), data.size(), 6);
    auto with = [&good](size_t at, char byte) {
        std::string stream = good;
        stream[at] = byte;
        return stream;
    };
    const uint32_t size = static_cast<uint32_t>(data.size());
    const uint32_t crc = Crc(data);
    std::string whole;
    ASSERT_TRUE(Decode(LzmaArchive(good, size, crc), &whole).ok()) << "the undamaged stream";
    EXPECT_TRUE(whole == data);
    const struct {
        std::string archive;
        DecodeStatus status;
    } cases[] = {
        {LzmaArchive(good, size + 1, crc), DecodeStatus::WrongLength},  // the node says otherwise
        {LzmaArchive(with(5, static_cast<char>((size + 1) & 0xFF)), size + 1, crc),
         DecodeStatus::InputEnded},  // the header promises a byte the data does not hold
        {LzmaArchive(with(0, '\xE1'), size, crc), DecodeStatus::BadHeader},  // lc/lp/pb of 225
        {LzmaArchive(with(4, '\x08'), size, crc), DecodeStatus::DictionaryTooLarge},  // 128 MiB
        {LzmaArchive(good.substr(0, good.size() - 1), size, crc), DecodeStatus::InputEnded},
        {LzmaArchive(good.substr(0, 12), size, crc), DecodeStatus::BadHeader},
        {LzmaArchive(good.substr(0, 5) + std::string(8, '\xFF') + good.substr(13), size, crc),
         DecodeStatus::BadHeader},  // the size "unknown"
        {LzmaArchive(good + '\0', size, crc), DecodeStatus::TrailingData},
        {LzmaArchive(good, size, crc ^ 1), DecodeStatus::WrongCheck},
    };
    for (const auto& c : cases) {
        std::string out;
        const archive::ExtractResult result = Decode(c.archive, &out);
        EXPECT_EQ(result.refusal, archive::Refusal::BadStream) << result.Reason();
        EXPECT_EQ(result.stream, c.status) << result.Reason();
        EXPECT_LE(out.size(), data.size());
    }
}

class SolidTest : public ::testing::Test {
protected:
    // A package of a stub, a solid archive of `files` and nothing after.
    void Write(const std::vector<std::string>& files, size_t damageAt = 0) {
        sfxpack::LzmaEncoder encoder(6, 1 << 20);
        std::vector<sfxpack::SolidPart> parts;
        for (size_t i = 0; i < files.size(); ++i) {
            // A file of an earlier one's bytes is a copy of it, as the packer makes it.
            uint32_t copyOf = 0;
            for (size_t k = 0; k < i && !copyOf; ++k)
                if (!files[k].empty() && files[k] == files[i]) copyOf = static_cast<uint32_t>(k + 1);
            if (!copyOf)
                encoder.Add(reinterpret_cast<const unsigned char*>(files[i].data()),
                            files[i].size());
            parts.push_back({static_cast<uint32_t>(files[i].size()),
                             package::Crc32(0, files[i].data(), files[i].size()), copyOf});
        }
        archive_ = sfxpack::BuildSolidArchive(encoder.Finish(), parts);
        if (damageAt) archive_[damageAt] = static_cast<char>(archive_[damageAt] ^ 0x55);
        WriteBytes(path_, std::string(100, 'M') + archive_);
        file_.Close();
        ASSERT_TRUE(file_.OpenRead(path_.c_str()));
    }
    archive::ExtractResult Part(archive::SolidStream& solid, uint32_t part, std::string* out) {
        StringSink sink;
        const archive::ExtractResult result = solid.Decode(part, sink);
        *out = sink.bytes;
        return result;
    }
    TempDir dir_;
    std::string path_ = dir_.File("setup.exe");
    std::string archive_;
    platform::RawFile file_;
};

TEST_F(SolidTest, FilesComeInAnyOrderAndAgainAndTheCheckNamesEach) {
    // The last file copies the first: its bytes are not in the stream again.
    const std::vector<std::string> files = {Noise(70000, 1), "", std::string(50000, 'q'),
                                            "第三个文件", Noise(70000, 1)};
    Write(files);
    archive::SolidStream solid(file_, 100, static_cast<int64_t>(archive_.size()));
    std::string out;
    // In order, one skipped (a kept file), then earlier ones again (retries).
    for (uint32_t part : {0u, 2u, 3u, 4u, 1u, 3u, 4u}) {
        const archive::ExtractResult result = Part(solid, part, &out);
        ASSERT_TRUE(result.ok()) << part << ": " << result.Reason();
        EXPECT_TRUE(out == files[part]) << part;
    }
    EXPECT_EQ(Part(solid, 5, &out).refusal, archive::Refusal::NotFileHead);

    // The start-up check gives each file that names the archive its part and size, and
    // refuses a sixth.
    archive::PieceCheck check(file_, 100 + static_cast<int64_t>(archive_.size()));
    for (int32_t i = 0; i < 6; ++i) {
        int32_t part = -2;
        uint32_t size = 0;
        const archive::PieceProblem problem =
            check.File(i, static_cast<int32_t>(archive_.size()), 100, true, &part, &size);
        if (i == 5) {
            EXPECT_EQ(problem.archive, archive::Refusal::NotFileHead);
            break;
        }
        ASSERT_TRUE(problem.ok()) << i;
        EXPECT_EQ(part, i);
        EXPECT_EQ(size, files[i].size());
    }
}

TEST_F(SolidTest, DamageFailsTheFileItHitsAndEveryLaterOne) {
    const std::vector<std::string> files = {Noise(40000, 1), Noise(40000, 2), Noise(40000, 3)};
    // A byte in the middle of the second file's compressed bytes.
    Write(files, archive::tavq::kFirstNodeOffset + 20 + 13 + 60000);
    archive::SolidStream solid(file_, 100, static_cast<int64_t>(archive_.size()));
    std::string out;
    EXPECT_TRUE(Part(solid, 0, &out).ok());
    EXPECT_TRUE(out == files[0]);
    const archive::ExtractResult second = Part(solid, 1, &out);
    EXPECT_EQ(second.refusal, archive::Refusal::BadStream) << second.Reason();
    EXPECT_EQ(Part(solid, 2, &out).refusal, archive::Refusal::BadStream);
    EXPECT_TRUE(out.empty()) << "nothing of a file after the damage is handed out";
    // The first file, asked for again, is still whole.
    EXPECT_TRUE(Part(solid, 0, &out).ok());
    EXPECT_TRUE(out == files[0]);
}

}  // namespace
