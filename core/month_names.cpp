#include "month_names.h"

namespace vadozoz {

int MonthOfName(std::string_view name) {
    for (std::size_t i = 0; i < MonthNames.size(); ++i) {
        if (MonthNames[i].name == name) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string_view NameOfMonth(int month) {
    return MonthNames.at(static_cast<std::size_t>(month - 1)).name;
}

}  // namespace vadozoz
