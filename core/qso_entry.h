#pragma once

#include <string>

namespace vadozoz {

// The eight entry values of one contact, each the unchanged text of its box.
struct QsoEntry {
    std::string callSign;
    std::string day;
    std::string monthName;
    std::string year;
    std::string time;
    std::string band;
    std::string mode;
    std::string rstSent;
};

}  // namespace vadozoz
