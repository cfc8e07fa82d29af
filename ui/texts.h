// The texts every front-end shows alike: the application title, the Slovak
// button captions and the caption formatter. All text is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ui {

inline constexpr const char* kApplicationTitle = "Velmorant";

// The caption of the timed box's button that returns `resultCode` ("&"
// marks the access key); empty for a code no button returns.
std::string buttonCaption(int resultCode);

// The same for the standard message box. A Slovak desktop's box writes
// "Yes" with its accent, where the timed box does not.
std::string standardButtonCaption(int resultCode);

// The caption formatter: trims the spaces at both ends of the template, keeps
// apostrophes and turns backticks into them, turns "~@" into CR LF and puts
// the i-th value in place of "i~!" (from 1). A value that is absent (one that
// could not be turned into text) leaves its placeholder as it is.
std::string FormatText(const std::string& templateText, const std::vector<std::optional<std::string>>& values = {});

// The text without the spaces at either end (other white space stays).
std::string trimSpaces(const std::string& text);

} // namespace ui
