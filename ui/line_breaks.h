// Messages break lines with CR LF, as the server's programs write them; a
// label of some toolkits or a terminal breaks lines at LF.
#pragma once

#include <string>

namespace ui {

inline std::string lfLineBreaks(std::string text) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; ++at) text.erase(at, 1);
    return text;
}

} // namespace ui
