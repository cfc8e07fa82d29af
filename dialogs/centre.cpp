#include "dialogs/centre.h"

#include <QScreen>
#include <QWidget>

namespace dialogs {

void centreOnScreen(QWidget* window) {
    if (const QScreen* s = window->screen()) {
        const QRect area = s->geometry();
        window->move(area.x() + (area.width() - window->width()) / 2,
                     area.y() + (area.height() - window->height()) / 2);
    }
}

} // namespace dialogs
