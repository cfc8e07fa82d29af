#include "ui/countdown.h"

namespace ui {

bool Countdown::step() {
    if (remaining_ > 0) --remaining_;
    return remaining_ > 0 || seconds_ <= 0;
}

} // namespace ui
