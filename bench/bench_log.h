#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vadozoz::bench {

// A log as an operator's box holds it after a contest: record lines made by
// BuildAdifRecord (mixed call signs, bands, modes, dates and times), with a
// hand-typed note and a blank line now and then. CR LF line ends, ASCII.
// The same seed always gives the same log, on every machine.
std::string MakeBenchLog(std::size_t records, unsigned seed = 20150305);

// The same kind of log, cut at the first record line that reaches `bytes`.
std::string MakeBenchLogOfSize(std::size_t bytes, unsigned seed = 20150305);

// The reference for the record count: the plain loop that compares five
// characters at every position.
std::size_t PlainCount(std::string_view text);

}  // namespace vadozoz::bench
