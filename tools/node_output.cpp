#include "tools/node_output.h"

#include <cstring>

#include "archive/archive_reader.h"
#include "platform/file.h"
#include "tools/pending_output.h"

namespace sfxpack {

namespace {
// A decoded or copied file on its way to its name (see PendingOutput).
class PendingFile : public archive::ByteSink {
public:
    explicit PendingFile(const std::string& path) : path_(path) {}
    bool Create(std::string* error) { return pending_.Create(path_, error); }
    bool Write(const unsigned char* data, size_t count) override {
        if (pending_.file().Write(data, count)) return true;
        if (failure_.empty())
            failure_ = "cannot write " + std::string(pending_.path()) + " (" +
                       std::strerror(static_cast<int>(pending_.file().error())) + ")";
        return false;
    }
    // Why the last write failed; empty when none did.
    const std::string& failure() const { return failure_; }
    bool Commit(std::string* error) { return pending_.Commit(path_, 0666, error); }

private:
    std::string path_;
    PendingOutput pending_;
    std::string failure_;
};

// The decoded bytes into `outputPath`, all or nothing; `decode` decodes into the sink it is given.
template <typename Decode>
bool DecodeToFile(const std::string& outputPath, std::string* error, Decode decode) {
    PendingFile output(outputPath);
    if (!output.Create(error)) return false;
    const archive::ExtractResult result = decode(output);
    if (!result.ok()) {
        *error = output.failure().empty() ? result.Reason() : output.failure();
        return false;
    }
    return output.Commit(error);
}
}  // namespace

bool DecodeNodeToFile(const std::string& container, int64_t offset, int64_t length,
                      uint32_t nodeIndex, const std::string& outputPath, std::string* error) {
    return DecodeToFile(outputPath, error, [&](archive::ByteSink& sink) {
        return archive::DecodeEmbedded(container.c_str(), offset, length, nodeIndex, sink);
    });
}

bool DecodeEntryToFile(FileDecoder& decoder, const package::FileEntry& entry,
                       const std::string& outputPath, std::string* error) {
    return DecodeToFile(outputPath, error,
                        [&](archive::ByteSink& sink) { return decoder.Decode(entry, sink); });
}

bool CopyRangeToFile(const std::string& container, int64_t offset, int64_t length,
                     const std::string& outputPath, std::string* error) {
    platform::RawFile input;
    if (!input.OpenRead(container.c_str())) {
        *error = "cannot read " + container;
        return false;
    }
    if (offset < 0 || length < 0 || offset > input.Length() || length > input.Length() - offset ||
        input.Seek(offset, platform::RawFile::Origin::Begin) < 0) {
        *error = "the " + std::to_string(length) + " bytes at offset " + std::to_string(offset) +
                 " lie outside the file";
        return false;
    }
    PendingFile output(outputPath);
    if (!output.Create(error)) return false;
    unsigned char buffer[64 * 1024];
    while (length > 0) {
        const size_t want = length < static_cast<int64_t>(sizeof buffer)
                                ? static_cast<size_t>(length)
                                : sizeof buffer;
        const size_t got = input.Read(buffer, want);
        if (got == 0) {
            *error = "cannot read " + container;
            return false;
        }
        if (!output.Write(buffer, got)) {
            *error = output.failure();
            return false;
        }
        length -= static_cast<int64_t>(got);
    }
    return output.Commit(error);
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    platform::RawFile file;
    if (!file.OpenRead(path.c_str()) || platform::IsFolder(path.c_str())) return false;
    bytes->assign(static_cast<size_t>(file.Length()), '\0');
    return file.Read(&(*bytes)[0], bytes->size()) == bytes->size();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
    PendingFile output(path);
    if (!output.Create(error)) return false;
    if (!output.Write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
        *error = output.failure();
        return false;
    }
    return output.Commit(error);
}

}  // namespace sfxpack
