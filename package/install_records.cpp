#include "package/install_records.h"

#include <cstdlib>
#include <cstring>

namespace package {

namespace {
// A line of text as the installer writes it: GBK characters whole, no control character.
bool IsTextLine(const char* line, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(line[i]);
        if (byte < 0x20 || byte == 0x7F || byte == 0xFF) return false;
        if (byte >= 0x81 && byte <= 0xFE) {
            if (i + 1 >= length) return false;
            const unsigned char trail = static_cast<unsigned char>(line[i + 1]);
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
            ++i;
        }
    }
    return true;
}

bool Is(const char* line, size_t length, const char* header) {
    return length == std::strlen(header) && std::memcmp(line, header, length) == 0;
}

// Walks the lines of a record, checking each as text, and hands the non-empty ones on.
template <typename Take>
RecordStatus EachLine(const char* data, size_t size, Take take) {
    RecordStatus status;
    if (size > kRecordLimit) {
        status.result = RecordResult::TooLarge;
        return status;
    }
    size_t at = 0;
    int32_t number = 0;
    while (at < size) {
        ++number;
        const void* found = std::memchr(data + at, '\n', size - at);
        if (!found) {
            status = {RecordResult::Unterminated, number};
            return status;
        }
        const size_t end = static_cast<size_t>(static_cast<const char*>(found) - data);
        size_t length = end - at;
        // CR CR LF or CR LF: the CRs before the LF belong to the line end.
        for (int cr = 0; cr < 2 && length > 0 && data[at + length - 1] == '\r'; ++cr) --length;
        if (length > kLineLimit) {
            status = {RecordResult::LineTooLong, number};
            return status;
        }
        if (!IsTextLine(data + at, length)) {
            status = {RecordResult::NotText, number};
            return status;
        }
        if (length > 0) {
            const RecordResult result = take(data + at, length);
            if (result != RecordResult::Read) {
                status = {result, number};
                return status;
            }
        }
        at = end + 1;
    }
    return status;
}

}  // namespace

LineList::~LineList() { std::free(starts_); }

bool LineList::Add(const char* line, size_t length) {
    if (count_ == capacity_) {
        const int32_t capacity = capacity_ < 64 ? 64 : capacity_ * 2;
        if (capacity <= capacity_) return false;
        auto* grown = static_cast<uint32_t*>(
            std::realloc(starts_, static_cast<size_t>(capacity) * sizeof *starts_));
        if (!grown) return false;
        starts_ = grown;
        capacity_ = capacity;
    }
    const size_t start = text_.size();
    if (start > UINT32_MAX - length - 1) return false;
    if (!text_.Append(line, length) || !text_.Append("", 1)) return false;
    starts_[count_++] = static_cast<uint32_t>(start);
    return true;
}

bool LineList::Add(const char* line) { return Add(line, std::strlen(line)); }

void LineList::Clear() {
    text_.Clear();
    count_ = 0;
}

RecordStatus ReadInstallLog(const char* data, size_t size, InstallLog* log) {
    // 0 before the first header, then 1, 2, 3 in the three sections.
    int section = 0;
    RecordStatus status = EachLine(data, size, [&](const char* line, size_t length) {
        const char* next = section == 0 ? kFileHeader : section == 1 ? kTypeHeader : kLinkHeader;
        if (section < 3 && Is(line, length, next)) {
            ++section;
            return RecordResult::Read;
        }
        // A header out of its place, or anything before the first one: not a log we wrote.
        if (section == 0 || Is(line, length, kFileHeader) || Is(line, length, kTypeHeader) ||
            Is(line, length, kLinkHeader))
            return RecordResult::MissingSections;
        LineList& target = section == 1 ? log->files : section == 2 ? log->types : log->links;
        return target.Add(line, length) ? RecordResult::Read : RecordResult::OutOfMemory;
    });
    if (status.ok() && section != 3) status.result = RecordResult::MissingSections;
    return status;
}

RecordStatus ReadFileList(const char* data, size_t size, LineList* files) {
    return EachLine(data, size, [&](const char* line, size_t length) {
        return files->Add(line, length) ? RecordResult::Read : RecordResult::OutOfMemory;
    });
}

bool WriteInstallLog(const InstallLog& log, platform::TextBuffer* out) {
    const LineList* sections[] = {&log.files, &log.types, &log.links};
    for (int section = 0; section < 3; ++section) {
        if (!BeginLogSection(static_cast<LogSection>(section), out)) return false;
        for (int32_t i = 0; i < sections[section]->count(); ++i)
            if (!AppendLogLine(sections[section]->at(i), out)) return false;
    }
    return true;
}

bool WriteFileList(const LineList& files, platform::TextBuffer* out) {
    // An empty list is still a file, and an empty buffer still has its data().
    if (!out->Append("", 0)) return false;
    for (int32_t i = 0; i < files.count(); ++i)
        if (!out->AppendLine(files.at(i), kListLineEnd)) return false;
    return true;
}

}  // namespace package
