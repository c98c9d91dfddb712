#include "log_buffer.h"

#include <algorithm>

#include "record_count.h"

namespace vadozoz {
namespace {

constexpr std::size_t kTagLength = 5;

std::size_t CountNonAscii(std::string_view s) {
    return static_cast<std::size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
}

// Tags that begin in [from, to): the ones an edit of that span can touch.
std::size_t TagsBeginningIn(std::string_view text, std::size_t from, std::size_t to) {
    const std::size_t end = std::min(text.size(), to + kTagLength - 1);
    return from < end ? CountRecords(text.substr(from, end - from)) : 0;
}

}  // namespace

void LogBuffer::SetText(std::string text) {
    if (text == text_) return;
    const LogChange change{0, text_.size(), text.size()};
    text_ = std::move(text);
    records_ = CountRecords(text_);
    nonAscii_ = CountNonAscii(text_);
    Notify(change);
}

void LogBuffer::Append(std::string_view text) { Replace(text_.size(), 0, text); }

void LogBuffer::Clear() { Replace(0, text_.size(), {}); }

void LogBuffer::Replace(std::size_t offset, std::size_t removed, std::string_view inserted) {
    offset = std::min(offset, text_.size());
    removed = std::min(removed, text_.size() - offset);
    if (std::string_view(text_).substr(offset, removed) == inserted) return;

    // A tag touching the edited span begins at most four bytes before it.
    const std::size_t from = offset >= kTagLength - 1 ? offset - (kTagLength - 1) : 0;
    const std::size_t before = TagsBeginningIn(text_, from, offset + removed);
    nonAscii_ += CountNonAscii(inserted);
    nonAscii_ -= CountNonAscii(std::string_view(text_).substr(offset, removed));

    // `inserted` may view our own text: it is not read after this line.
    const std::size_t added = inserted.size();
    text_.replace(offset, removed, inserted);

    records_ = records_ - before + TagsBeginningIn(text_, from, offset + added);
    Notify({offset, removed, added});
}

void LogBuffer::Notify(const LogChange& change) {
    if (listener_) listener_(change);
}

}  // namespace vadozoz
