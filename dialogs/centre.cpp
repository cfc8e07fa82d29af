#include "dialogs/centre.h"

#include <QScreen>
#include <QWidget>

#include "ui/geometry.h"

namespace dialogs {

void centreOnScreen(QWidget* window) {
    if (const QScreen* s = window->screen()) {
        const QRect area = s->geometry();
        // move() places the frame's top-left corner.
        const QSize outer = window->frameGeometry().size();
        const ui::Point at =
            ui::centredOrigin({area.x(), area.y(), area.width(), area.height()}, outer.width(), outer.height());
        window->move(at.x, at.y);
    }
}

} // namespace dialogs
