#include "archive/solid_stream.h"

#include <cstring>
#include <new>

#include "archive/tavq_format.h"

namespace archive {

namespace {
ExtractResult Refused(Refusal refusal, DecodeStatus stream = DecodeStatus::Ok) {
    ExtractResult result;
    result.refusal = refusal;
    result.stream = stream;
    return result;
}
}  // namespace

size_t SolidStream::Input::Read(unsigned char* buffer, size_t count) {
    if (file_.Seek(position_, platform::RawFile::Origin::Begin) != position_) return 0;
    const size_t got = file_.Read(buffer, count);
    position_ += static_cast<int64_t>(got);
    return got;
}

ExtractResult SolidStream::Open() {
    namespace tavq = archive::tavq;
    // The reader's checks up to the first node, which holds the stream and lies inside.
    unsigned char head[tavq::kMinimumArchiveSize] = {};
    Input input(container_, offset_);
    if (offset_ < 0 || (length_ >= static_cast<int64_t>(sizeof head) &&
                        input.Read(head, sizeof head) != sizeof head))
        return Refused(Refusal::CannotOpen);
    Refusal refusal = CheckArchiveHead(head, length_);
    if (refusal == Refusal::None &&
        tavq::MethodOf(tavq::ParseHeader(head).version) != tavq::Method::Solid)
        refusal = Refusal::NotTheVersion;
    if (refusal != Refusal::None) return Refused(refusal);
    const tavq::NodeHeader stream = tavq::ParseNodeHeader(head + tavq::kFirstNodeOffset);
    const uint64_t streamEnd = tavq::SolidFilesOffset(head);

    // The files' nodes fill the rest of the archive: no name, no stream, only a size each.
    const uint64_t table = static_cast<uint64_t>(length_) - streamEnd;
    if (table % tavq::kNodeHeaderSize != 0) return Refused(Refusal::NotFileHead);
    parts_ = static_cast<uint32_t>(table / tavq::kNodeHeaderSize);
    const uint32_t room = parts_ ? parts_ : 1;
    sizes_.reset(new (std::nothrow) uint32_t[room]);
    checks_.reset(new (std::nothrow) uint32_t[room]);
    copyOf_.reset(new (std::nothrow) uint32_t[room]);
    kept_.reset(new (std::nothrow) std::unique_ptr<unsigned char[]>[room]);
    if (!sizes_ || !checks_ || !copyOf_ || !kept_)
        return Refused(Refusal::BadStream, DecodeStatus::NoMemory);
    uint64_t keptBytes = 0;
    Input nodes(container_, offset_ + static_cast<int64_t>(streamEnd));
    uint64_t total = 0;
    unsigned char block[tavq::kNodeHeaderSize * 200];
    for (uint32_t part = 0; part < parts_;) {
        const uint32_t batch = parts_ - part < 200 ? parts_ - part : 200;
        const size_t bytes = batch * tavq::kNodeHeaderSize;
        if (nodes.Read(block, bytes) != bytes) return Refused(Refusal::CannotOpen);
        for (uint32_t i = 0; i < batch; ++i, ++part) {
            const tavq::NodeHeader node = tavq::ParseNodeHeader(block + i * tavq::kNodeHeaderSize);
            if (!tavq::IsSolidFileNode(node, part)) return Refused(Refusal::NotFileHead);
            sizes_[part] = node.uncompressedSize;
            checks_[part] = node.check;
            copyOf_[part] = node.compressedSize;
            if (!copyOf_[part]) {
                total += node.uncompressedSize;
                continue;
            }
            // A copy names a file of the stream of the same size and check; that file is kept.
            const uint32_t original = copyOf_[part] - 1;
            if (copyOf_[original] || sizes_[original] != node.uncompressedSize ||
                checks_[original] != node.check)
                return Refused(Refusal::NotFileHead);
            if (!kept_[original]) {
                keptBytes += sizes_[original];
                if (keptBytes > tavq::kSolidKeptRoom) return Refused(Refusal::NotFileHead);
                kept_[original].reset(new (std::nothrow) unsigned char[sizes_[original] + 1]);
                if (!kept_[original]) return Refused(Refusal::BadStream, DecodeStatus::NoMemory);
            }
        }
    }
    if (total != stream.uncompressedSize)
        return Refused(Refusal::BadStream, DecodeStatus::WrongLength);
    streamStart_ = offset_ + static_cast<int64_t>(tavq::kFirstNodeOffset + tavq::kNodeHeaderSize +
                                                  stream.nameLength);
    ExtractResult result;
    result.uncompressedSize = stream.uncompressedSize;
    result.compressedSize = stream.compressedSize;
    return result;
}

ExtractResult SolidStream::Restart() {
    positioned_ = false;
    input_.reset(new (std::nothrow) Input(container_, streamStart_));
    if (!input_) return Refused(Refusal::BadStream, DecodeStatus::NoMemory);
    uint64_t size = 0;
    const DecodeStatus status = decoder_.Start(head_.compressedSize, *input_, &size);
    if (status != DecodeStatus::Ok) return Refused(Refusal::BadStream, status);
    if (size != head_.uncompressedSize)
        return Refused(Refusal::BadStream, DecodeStatus::WrongLength);
    next_ = 0;
    positioned_ = true;
    return ExtractResult();
}

ExtractResult SolidStream::Failed(Refusal refusal, DecodeStatus stream, uint32_t part) {
    positioned_ = false;
    const ExtractResult result = Refused(refusal, stream);
    if (refusal == Refusal::BadStream && part < damagedFrom_) {
        damagedFrom_ = part;
        damage_ = result;
    }
    return result;
}

DecodeStatus SolidStream::Next(ByteSink& sink) {
    const uint32_t size = sizes_[next_];
    if (copyOf_[next_]) {
        // Checked when the file it copies was decoded, in this pass of the stream.
        const unsigned char* bytes = kept_[copyOf_[next_] - 1].get();
        return size == 0 || sink.Write(bytes, size) ? DecodeStatus::Ok : DecodeStatus::OutputFailed;
    }
    // The bytes of a file that a later one copies are kept on the way.
    class Keeping : public ByteSink {
    public:
        Keeping(ByteSink& sink, unsigned char* kept) : sink_(sink), kept_(kept) {}
        bool Write(const unsigned char* data, size_t count) override {
            if (kept_) std::memcpy(kept_ + at_, data, count);
            at_ += count;
            return sink_.Write(data, count);
        }

    private:
        ByteSink& sink_;
        unsigned char* kept_;
        size_t at_ = 0;
    } keeping(sink, kept_[next_].get());
    SummingSink summed(keeping);
    const DecodeStatus status = decoder_.Next(size, summed);
    if (status != DecodeStatus::Ok) return status;
    return summed.crc() == checks_[next_] ? DecodeStatus::Ok : DecodeStatus::WrongCheck;
}

ExtractResult SolidStream::Decode(uint32_t part, ByteSink& sink) {
    if (!opened_) {
        head_ = Open();
        // A read that failed may succeed when the file is tried again.
        opened_ = head_.refusal != Refusal::CannotOpen;
    }
    if (!head_.ok()) return head_;
    if (part >= parts_) return Refused(Refusal::NotFileHead);
    if (part >= damagedFrom_) return damage_;
    if (!positioned_ || part < next_) {
        const ExtractResult restart = Restart();
        if (!restart.ok()) return Failed(restart.refusal, restart.stream, 0);
    }
    // The files before it are checked as well: damage is found in the file it hits.
    for (; next_ < part; ++next_) {
        struct : ByteSink {
            bool Write(const unsigned char*, size_t) override { return true; }
        } dropped;
        const DecodeStatus status = Next(dropped);
        if (status != DecodeStatus::Ok) return Failed(Refusal::BadStream, status, next_);
    }
    DecodeStatus status = Next(sink);
    if (status == DecodeStatus::OutputFailed) return Failed(Refusal::CannotWrite, status, part);
    if (status == DecodeStatus::Ok && ++next_ == parts_) {
        // The last file is whole only when the stream ends with it.
        status = decoder_.Finish();
        positioned_ = false;
    }
    if (status != DecodeStatus::Ok) return Failed(Refusal::BadStream, status, part);
    ExtractResult result;
    result.uncompressedSize = sizes_[part];
    return result;
}

ExtractResult FileDecoder::Decode(int64_t offset, int64_t length, int32_t solidPart,
                                  ByteSink& sink) {
    if (solidPart < 0) {
        if (!decoders_) decoders_.reset(new (std::nothrow) Decoders);
        return DecodeEmbedded(package_, offset, length, 0, sink, decoders_.get());
    }
    if (!solid_ || !solid_->Holds(offset, length))
        solid_.reset(new (std::nothrow) SolidStream(package_, offset, length));
    if (solid_) return solid_->Decode(static_cast<uint32_t>(solidPart), sink);
    ExtractResult result;
    result.refusal = Refusal::BadStream;
    result.stream = DecodeStatus::NoMemory;
    return result;
}

}  // namespace archive
