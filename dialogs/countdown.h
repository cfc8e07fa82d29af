// The countdown of a timed box: the seconds left in a label in the box's
// bottom-right corner, one step a second while the box shows.
#pragma once

#include <functional>

#include <QObject>

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

    // Starts from `seconds`; 0 or less: no countdown.
    void reset(int seconds) { seconds_ = remaining_ = seconds; }
    // Shows the label while there are seconds left, hides it otherwise.
    void showIfCounting();
    // Back to the full time.
    void restart() { remaining_ = seconds_; }
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
    int seconds_ = 0;
    int remaining_ = 0;
};

} // namespace dialogs
