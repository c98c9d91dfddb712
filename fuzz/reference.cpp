#include "reference.h"

namespace vadozoz::fuzz {

bool DecodeUtf8(std::string_view s, std::vector<std::uint32_t>* out) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        std::size_t n;
        std::uint32_t cp;
        if (b0 <= 0x7F) {
            n = 1, cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            n = 2, cp = b0 & 0x1Fu;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            n = 3, cp = b0 & 0x0Fu;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            n = 4, cp = b0 & 0x07u;
        } else {
            return false;
        }
        if (s.size() - i < n) return false;
        for (std::size_t k = 1; k < n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = cp << 6 | (b & 0x3Fu);
        }
        if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        if (out) out->push_back(cp);
        i += n;
    }
    return true;
}

std::string NormalForm(std::string_view content) {
    std::string out;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < content.size() && content[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    const auto endsWith = [&](std::string_view tail) {
        return out.size() >= tail.size() && out.compare(out.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (!out.empty() && !endsWith("\r\n")) out += "\r\n";
    if (endsWith("\r\n\r\n")) out.resize(out.size() - 2);
    return out;
}

bool OnlyCrLfLineEnds(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) return false;
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) return false;
    }
    return true;
}

std::size_t CountEorTags(std::string_view s) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    std::size_t count = 0;
    for (std::size_t i = 0; i + 5 <= s.size(); ++i) {
        if (s[i] == '<' && lower(s[i + 1]) == 'e' && lower(s[i + 2]) == 'o' &&
            lower(s[i + 3]) == 'r' && s[i + 4] == '>') {
            ++count;
        }
    }
    return count;
}

std::string SingleByteMismatch(std::string_view bytes, const std::vector<std::uint32_t>& characters) {
    if (characters.size() != bytes.size()) {
        return std::to_string(characters.size()) + " characters for " + std::to_string(bytes.size()) + " bytes";
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool keeps = b < 0x80 || b >= 0xA0;
        if (keeps ? characters[i] != b : characters[i] < 0x80) {
            return "byte " + std::to_string(i) + " (" + std::to_string(b) + ") became U+" +
                   std::to_string(characters[i]);
        }
    }
    return {};
}

}  // namespace vadozoz::fuzz
