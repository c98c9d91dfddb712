#include "line_ends.h"

#include <cstring>

namespace vadozoz {

std::string NormaliseLoadedText(std::string_view content) {
    std::string out;
    out.reserve(content.size() + 2);
    const char* p = content.data();
    const char* const end = p + content.size();
    while (p < end) {
        // Copy up to the next CR or LF in bulk; lines are long, line ends rare.
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* stop = lf ? lf : end;
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', stop - p));
        const char* brk = cr ? cr : stop;
        out.append(p, brk);
        if (brk == end) break;
        out += "\r\n";
        p = brk + 1;
        if (*brk == '\r' && p < end && *p == '\n') ++p;
    }
    if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
    if (out.ends_with("\r\n\r\n")) out.resize(out.size() - 2);
    return out;
}

}  // namespace vadozoz
