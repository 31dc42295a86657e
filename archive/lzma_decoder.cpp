#include "archive/lzma_decoder.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "LzmaDec.h"

namespace archive {

namespace {
void* Allocate(void*, size_t size) { return std::malloc(size); }
void Release(void*, void* block) { std::free(block); }
ISzAlloc allocator = {Allocate, Release};

// Large enough that a file's compressed bytes come in a few reads.
constexpr size_t kInputRoom = 64 * 1024;
// The most bytes decoded before the sink has them: the dictionary holds them until then.
constexpr size_t kOutputStep = 256 * 1024;
}  // namespace

struct LzmaDecoder::State {
    CLzmaDec lzma;
    unsigned char* dictionary = nullptr;
    size_t dictionaryRoom = 0;
    ByteSource* source = nullptr;
    uint64_t inputLeft = 0;   // compressed bytes still in the source
    uint64_t outputLeft = 0;  // bytes the header says are still to come
    size_t inputPos = 0;
    size_t inputSize = 0;
    unsigned char input[kInputRoom];

    State() { LzmaDec_Construct(&lzma); }
    ~State() {
        LzmaDec_FreeProbs(&lzma, &allocator);
        std::free(dictionary);
    }
};

LzmaDecoder::LzmaDecoder() = default;
LzmaDecoder::~LzmaDecoder() = default;

bool LzmaDecoder::Fill() {
    State& s = *state_;
    if (s.inputPos < s.inputSize || s.inputLeft == 0) return s.inputPos < s.inputSize;
    const size_t want = s.inputLeft < kInputRoom ? static_cast<size_t>(s.inputLeft) : kInputRoom;
    s.inputSize = s.source->Read(s.input, want);
    s.inputPos = 0;
    s.inputLeft -= s.inputSize;
    if (s.inputSize == 0) s.inputLeft = 0;
    return s.inputSize > 0;
}

DecodeStatus LzmaDecoder::Start(uint64_t compressedSize, ByteSource& source, uint64_t* size) {
    if (!state_) state_.reset(new (std::nothrow) State);
    if (!state_) return DecodeStatus::NoMemory;
    State& s = *state_;
    s.source = &source;
    s.inputPos = s.inputSize = 0;
    s.outputLeft = 0;
    s.inputLeft = 0;
    if (compressedSize < LZMA_PROPS_SIZE + 8) return DecodeStatus::BadHeader;
    unsigned char header[LZMA_PROPS_SIZE + 8];
    size_t got = 0;
    for (size_t n; got < sizeof header && (n = source.Read(header + got, sizeof header - got)) > 0;)
        got += n;
    if (got < sizeof header) return DecodeStatus::InputEnded;
    CLzmaProps properties;
    if (LzmaProps_Decode(&properties, header, LZMA_PROPS_SIZE) != SZ_OK)
        return DecodeStatus::BadHeader;
    if (properties.dicSize > kLargestDictionary) return DecodeStatus::DictionaryTooLarge;
    uint64_t length = 0;
    for (int i = 7; i >= 0; --i) length = length << 8 | header[LZMA_PROPS_SIZE + i];
    if (length == ~uint64_t{0}) return DecodeStatus::BadHeader;  // "unknown"

    // Never more than the stream yields: a small file's stream names a large dictionary, and
    // the decoder never looks back past what it has produced.
    const size_t room = length < properties.dicSize ? (length ? static_cast<size_t>(length) : 1)
                                                    : properties.dicSize;
    if (room > s.dictionaryRoom) {
        std::free(s.dictionary);
        s.dictionaryRoom = 0;
        s.dictionary = static_cast<unsigned char*>(std::malloc(room));
        if (!s.dictionary) return DecodeStatus::NoMemory;
        s.dictionaryRoom = room;
    }
    const SRes probabilities = LzmaDec_AllocateProbs(&s.lzma, header, LZMA_PROPS_SIZE, &allocator);
    if (probabilities == SZ_ERROR_MEM) return DecodeStatus::NoMemory;
    if (probabilities != SZ_OK) return DecodeStatus::BadHeader;
    s.lzma.dic = s.dictionary;
    s.lzma.dicBufSize = room;
    LzmaDec_Init(&s.lzma);
    s.inputLeft = compressedSize - sizeof header;
    s.outputLeft = length;
    *size = length;
    return DecodeStatus::Ok;
}

DecodeStatus LzmaDecoder::Next(uint64_t count, ByteSink& sink) {
    if (!state_ || count > state_->outputLeft) return DecodeStatus::WrongLength;
    State& s = *state_;
    CLzmaDec& lzma = s.lzma;
    while (count > 0) {
        if (lzma.dicPos == lzma.dicBufSize) lzma.dicPos = 0;
        const size_t start = lzma.dicPos;
        size_t step = lzma.dicBufSize - start;
        if (step > kOutputStep) step = kOutputStep;
        if (step > count) step = static_cast<size_t>(count);
        const bool more = Fill();
        SizeT used = s.inputSize - s.inputPos;
        ELzmaStatus status;
        const SRes result = LzmaDec_DecodeToDic(&lzma, start + step, s.input + s.inputPos, &used,
                                                LZMA_FINISH_ANY, &status);
        s.inputPos += used;
        const size_t produced = lzma.dicPos - start;
        if (produced > 0 && !sink.Write(lzma.dic + start, produced))
            return DecodeStatus::OutputFailed;
        count -= produced;
        s.outputLeft -= produced;
        if (result != SZ_OK) return DecodeStatus::DataError;
        if (produced == 0) {
            if (status == LZMA_STATUS_FINISHED_WITH_MARK) return DecodeStatus::WrongLength;
            if (!more) return DecodeStatus::InputEnded;
            if (used == 0) return DecodeStatus::DataError;
        }
    }
    return DecodeStatus::Ok;
}

DecodeStatus LzmaDecoder::Finish() {
    if (!state_ || state_->outputLeft != 0) return DecodeStatus::WrongLength;
    State& s = *state_;
    // An end mark may still follow the last byte; Fill keeps what is left of the input.
    for (;;) {
        const bool more = Fill();
        SizeT used = s.inputSize - s.inputPos;
        ELzmaStatus status;
        const SRes result = LzmaDec_DecodeToDic(&s.lzma, s.lzma.dicPos, s.input + s.inputPos, &used,
                                                LZMA_FINISH_END, &status);
        s.inputPos += used;
        if (result != SZ_OK) return DecodeStatus::DataError;
        if (status == LZMA_STATUS_FINISHED_WITH_MARK ||
            status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK)
            break;
        if (status != LZMA_STATUS_NEEDS_MORE_INPUT) return DecodeStatus::DataError;
        if (!more) return DecodeStatus::InputEnded;
    }
    return s.inputPos < s.inputSize || s.inputLeft > 0 ? DecodeStatus::TrailingData
                                                       : DecodeStatus::Ok;
}

DecodeStatus LzmaDecoder::Decode(uint32_t compressedSize, uint32_t expectedSize, ByteSource& source,
                                 ByteSink& sink) {
    uint64_t size = 0;
    DecodeStatus status = Start(compressedSize, source, &size);
    if (status != DecodeStatus::Ok) return status;
    if (size != expectedSize) return DecodeStatus::WrongLength;
    status = Next(size, sink);
    return status == DecodeStatus::Ok ? Finish() : status;
}

}  // namespace archive
