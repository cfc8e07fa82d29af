// Helpers for widget tests: one QApplication for the whole test program and a
// way to act inside a modal dialog's own event loop.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Readable QStrings in the messages of failed expectations.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace testing_qt {

// Runs action on the modal dialog of type Dialog as soon as its event loop is
// running and its window is active. The action must close the dialog; a guard closes it after a few
// seconds in case a failing test does not.
template <class Dialog> void whenShown(std::function<void(Dialog*)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog of the expected kind is open";
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
            return;
        }
        QTimer::singleShot(5000, dialog, [dialog] { dialog->close(); });
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        action(dialog);
    });
}

} // namespace testing_qt
