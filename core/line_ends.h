#pragma once

#include <string>
#include <string_view>

namespace vadozoz {

// The log text of a temporary log file's content: every line end (CR LF, CR
// alone, LF alone) becomes CR LF, a last line without one gets one, and the
// empty last line that a save writes behind the text is taken away again. So
// a text whose line ends are CR LF comes back exactly as it was saved.
std::string NormaliseLoadedText(std::string_view content);

}  // namespace vadozoz
