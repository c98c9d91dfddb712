#pragma once

// Plain, obviously-right versions of what the core does fast, for the
// fuzzers to compare against. They share no code with core/ on purpose, and
// are built without coverage so that the fuzzer steers by the core alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vadozoz::fuzz {

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
// Appends the code points to `out` when given.
bool DecodeUtf8(std::string_view s, std::vector<std::uint32_t>* out = nullptr);

// The form a temporary log's content is read back in: each CR LF, lone CR
// and lone LF becomes CR LF; a last line without a line end gets one; and
// when that ends in CR LF CR LF, the final CR LF (the one a save adds) goes.
std::string NormalForm(std::string_view content);

// True when every CR is followed by LF and every LF follows a CR.
bool OnlyCrLfLineEnds(std::string_view s);

// "<EOR>" at every position, the letters in either case, nothing clever.
std::size_t CountEorTags(std::string_view s);

// Why `characters` are not `bytes` read one byte to one character, as a
// single-byte code page does (empty when they are). Line ends are ASCII, so
// `bytes` may be the normal form of the raw bytes. ASCII and 0xA0..0xFF must
// keep their values (Windows-1252 agrees with Latin-1 there); 0x80..0x9F may
// become any non-ASCII character, but never vanish or fold into ASCII.
std::string SingleByteMismatch(std::string_view bytes, const std::vector<std::uint32_t>& characters);

}  // namespace vadozoz::fuzz
