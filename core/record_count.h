#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vadozoz {

// Number of "<EOR>" tags in the text, the three letters in any case.
// Tags cannot overlap, so this is the number of positions where one begins.
std::size_t CountRecords(std::string_view text);

// "N record presenti" for a count, and for the count of a text.
std::string CountCaption(std::size_t count);
std::string RecordCountCaption(std::string_view text);

}  // namespace vadozoz
