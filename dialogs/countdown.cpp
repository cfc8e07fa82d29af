#include "dialogs/countdown.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include "ui/geometry.h"

namespace dialogs {

Countdown::Countdown(QDialog* box, std::function<void()> tick)
    : QObject(box), box_(box), label_(new QLabel(box)), timer_(new QTimer(box)) {
    label_->setObjectName(QStringLiteral("lblTimeout"));
    label_->setTextFormat(Qt::PlainText);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, box, std::move(tick));
    box->installEventFilter(this);
}

void Countdown::showIfCounting() { label_->setVisible(state_.counting()); }

bool Countdown::step() {
    if (!state_.step()) return false;
    label_->setText(QString::number(state_.remaining()));
    place();
    return true;
}

bool Countdown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) place();
        if (event->type() == QEvent::Show) timer_->start();
        if (event->type() == QEvent::Hide) timer_->stop();
    }
    return QObject::eventFilter(watched, event);
}

void Countdown::place() {
    label_->adjustSize();
    const ui::Point at = ui::bottomRightOrigin(box_->width(), box_->height(), label_->width(), label_->height());
    label_->move(at.x, at.y);
    label_->raise(); // the corner may lie lower than the label: keep the digits over a button there
}

} // namespace dialogs
