#pragma once

#include <string>
#include <string_view>

namespace vadozoz {

// How the window shows a message: the kind picks the icon and the title.
enum class MessageKind {
    Validation,   // no icon, title ValidationTitle
    Information,  // information icon, title AppTitle
    Warning,      // warning icon, title AppTitle
};

struct Message {
    MessageKind kind;
    std::string text;
};

inline constexpr std::string_view AppTitle = "Vadozoz";
inline constexpr std::string_view ValidationTitle = "Vadozoz_10";

}  // namespace vadozoz
