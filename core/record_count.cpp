#include "record_count.h"

namespace vadozoz {

std::size_t CountRecords(std::string_view text) {
    constexpr std::size_t kTag = 5;
    if (text.size() < kTag) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t last = text.size() - kTag;
    // Branch-free so the compiler can vectorise it: the count runs on every
    // keystroke of the log box. "| 0x20" folds exactly the letter's two cases.
    std::size_t count = 0;
    for (std::size_t i = 0; i <= last; ++i) {
        count += static_cast<std::size_t>((p[i] == '<') & ((p[i + 1] | 0x20) == 'e') &
                                          ((p[i + 2] | 0x20) == 'o') &
                                          ((p[i + 3] | 0x20) == 'r') & (p[i + 4] == '>'));
    }
    return count;
}

std::string CountCaption(std::size_t count) { return std::to_string(count) + " record presenti"; }

std::string RecordCountCaption(std::string_view text) { return CountCaption(CountRecords(text)); }

}  // namespace vadozoz
