#include "strict_record_reader.h"

namespace vadozoz::fuzz {
namespace {

class Cursor {
public:
    explicit Cursor(std::string_view s) : rest_(s) {}

    bool Literal(std::string_view text) {
        if (rest_.substr(0, text.size()) != text) return false;
        rest_.remove_prefix(text.size());
        return true;
    }

    // "<NAME:" was read: the decimal length, ">" and that many bytes.
    std::optional<std::string> SizedValue() {
        std::size_t digits = 0;
        std::size_t length = 0;
        while (digits < rest_.size() && rest_[digits] >= '0' && rest_[digits] <= '9') {
            if (digits == 6) return std::nullopt;  // no value of ours is that long
            length = length * 10 + static_cast<std::size_t>(rest_[digits] - '0');
            ++digits;
        }
        if (digits == 0 || (digits > 1 && rest_[0] == '0')) return std::nullopt;
        rest_.remove_prefix(digits);
        if (!Literal(">")) return std::nullopt;
        return Bytes(length);
    }

    std::optional<std::string> Bytes(std::size_t n) {
        if (rest_.size() < n) return std::nullopt;
        std::string value(rest_.substr(0, n));
        rest_.remove_prefix(n);
        return value;
    }

    bool AtEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

bool PrintableAscii(std::string_view s) {
    for (const char c : s) {
        if (c < 32 || c > 126) return false;
    }
    return true;
}

}  // namespace

std::optional<StrictRecord> ReadStrictRecordLine(std::string_view line) {
    if (line.size() < 2 || line.substr(line.size() - 2) != "\r\n") return std::nullopt;
    if (!PrintableAscii(line.substr(0, line.size() - 2))) return std::nullopt;

    Cursor in(line);
    StrictRecord r;
    const auto sized = [&](std::string_view tag, std::string& into) {
        if (!in.Literal(tag)) return false;
        auto value = in.SizedValue();
        if (!value) return false;
        into = std::move(*value);
        return true;
    };
    const auto fixed = [&](std::string_view tag, std::size_t n, std::string& into) {
        if (!in.Literal(tag)) return false;
        auto value = in.Bytes(n);
        if (!value) return false;
        into = std::move(*value);
        return true;
    };
    if (!sized("<CALL:", r.call) || !fixed("<QSO_DATE:8:D>", 8, r.date) ||
        !fixed("<TIME_ON:4>", 4, r.time) || !sized("<BAND:", r.band) || !sized("<MODE:", r.mode) ||
        !sized("<RST_SENT:", r.rst) || !in.Literal("<EOR>\r\n") || !in.AtEnd()) {
        return std::nullopt;
    }
    return r;
}

}  // namespace vadozoz::fuzz
