// The countdown of a timed box: the seconds left, one step a second while
// the box shows; the box closes when a step finds the time run out. The
// front-ends show remaining() in a label in the box's bottom-right corner.
#pragma once

namespace ui {

class Countdown {
public:
    // Starts from `seconds`; 0 or less: no countdown.
    void reset(int seconds) { seconds_ = remaining_ = seconds; }
    // Back to the full time.
    void restart() { remaining_ = seconds_; }
    // Whether the label shows: while there are seconds left.
    bool counting() const { return remaining_ >= 1; }
    // One step; false when the time has run out and the box is to close.
    bool step();
    int remaining() const { return remaining_; }

private:
    int seconds_ = 0;
    int remaining_ = 0;
};

} // namespace ui
