// Records the caption of a label each time it paints. While a run holds the
// window thread no events are handled, so only a repaint forced by a caption
// change can paint it.
#pragma once

#include <QEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QRegion>
#include <QStringList>

namespace testing_qt {

class PaintLog : public QObject {
public:
    QStringList captions;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) captions << static_cast<QLabel*>(watched)->text();
        return false;
    }
};

// Records the regions a widget paints.
class PaintRegions : public QObject {
public:
    QList<QRegion> regions;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) regions << static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace testing_qt
