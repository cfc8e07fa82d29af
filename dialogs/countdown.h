// The countdown of a timed box on Qt: ui::Countdown shown in a label in the
// box's bottom-right corner, one step a second while the box shows.
#pragma once

#include <functional>

#include <QObject>

#include "ui/countdown.h"

class QDialog;
class QLabel;
class QTimer;

namespace dialogs {

class Countdown : public QObject {
public:
    // The label and the timer are children of `box`; the timer runs `tick`,
    // the box's own step, which calls step() and closes the box when that
    // answers false.
    Countdown(QDialog* box, std::function<void()> tick);

    void reset(int seconds) { state_.reset(seconds); }
    void restart() { state_.restart(); }
    // Shows the label while there are seconds left, hides it otherwise.
    void showIfCounting();
    // One step: the label shows the seconds left; false when time ran out.
    bool step();

    QTimer* timer() const { return timer_; }
    QLabel* label() const { return label_; }

    // Places the label as the box changes size and runs the timer while it shows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QDialog* box_;
    QLabel* label_;
    QTimer* timer_;
    ui::Countdown state_;
};

} // namespace dialogs
