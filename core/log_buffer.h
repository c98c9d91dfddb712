#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vadozoz {

// What one change did, in bytes: [offset, offset + removed) of the old text
// became [offset, offset + inserted) of the new one.
struct LogChange {
    std::size_t offset;
    std::size_t removed;
    std::size_t inserted;
};

// The log text (UTF-8, CR LF line ends) with a synchronous change
// notification. Setting the text it already holds is no change and notifies
// nothing. The record count is kept up to date by looking only at the bytes
// around each change, so an edit costs the size of the edit, not of the log.
class LogBuffer {
public:
    using Listener = std::function<void(const LogChange&)>;

    LogBuffer() = default;
    explicit LogBuffer(Listener listener) : listener_(std::move(listener)) {}

    void SetListener(Listener listener) { listener_ = std::move(listener); }

    const std::string& GetText() const { return text_; }
    void SetText(std::string text);
    void Append(std::string_view text);
    void Clear();
    // Replaces `removed` bytes at `offset` (clamped to the text) by `inserted`.
    void Replace(std::size_t offset, std::size_t removed, std::string_view inserted);

    // CountRecords(GetText()), without the scan.
    std::size_t RecordCount() const { return records_; }
    // True when every byte is ASCII, so one character is one byte.
    bool IsAscii() const { return nonAscii_ == 0; }

private:
    void Notify(const LogChange& change);

    std::string text_;
    std::size_t records_ = 0;
    std::size_t nonAscii_ = 0;
    Listener listener_;
};

}  // namespace vadozoz
