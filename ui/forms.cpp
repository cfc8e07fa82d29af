#include "ui/forms.h"

#include "ui/texts.h"

namespace ui::input_box {

std::string caption(const std::string& title) {
    const std::string trimmed = trimSpaces(title);
    return trimmed.empty() ? kApplicationTitle : trimmed;
}

} // namespace ui::input_box
