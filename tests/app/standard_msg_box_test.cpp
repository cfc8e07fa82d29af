#include "app/standard_msg_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "tests/dialogs/qt_test_support.h"

using testing_qt::whenShown;

// Buttons, icon and default button for each kind of flags; plain text with
// the server's line breaks turned into the toolkit's.
TEST(StandardMsgBox, ButtonSetsIconsAndDefaults) {
    using B = QMessageBox;
    struct Case {
        int flags;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton; // NoButton: left to the box
    };
    const QList<Case> cases = {
        {48, B::Ok, B::Warning, B::NoButton},
        {291, B::Yes | B::No | B::Cancel, B::Question, B::No},
        {1 + 16, B::Ok | B::Cancel, B::Critical, B::NoButton},
        {2 + 512, B::Abort | B::Retry | B::Ignore, B::NoIcon, B::Ignore},
        {4 + 64, B::Yes | B::No, B::Information, B::NoButton},
        {5, B::Retry | B::Cancel, B::NoIcon, B::NoButton},
        {9, B::Ok, B::NoIcon, B::NoButton},
        {4 + 768, B::Yes | B::No, B::NoIcon, B::NoButton}, // a default beyond the buttons there are
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const auto box = app::makeStandardMessageBox(nullptr, QStringLiteral("<b>riadok 1</b>\r\nriadok 2"), c.flags);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmorant"));
        EXPECT_EQ(box->standardButtons(), c.buttons);
        EXPECT_EQ(box->icon(), c.icon);
        if (c.defaultButton != B::NoButton) EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
        EXPECT_EQ(box->text(), QStringLiteral("<b>riadok 1</b>\nriadok 2"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
    }
    const auto question = app::makeStandardMessageBox(nullptr, QStringLiteral("x"), 291);
    EXPECT_EQ(question->button(QMessageBox::Yes)->text(), QStringLiteral("&Áno"));
    EXPECT_EQ(question->button(QMessageBox::No)->text(), QStringLiteral("&Nie"));
    EXPECT_EQ(question->button(QMessageBox::Cancel)->text(), QStringLiteral("Zrušiť"));
}

TEST(StandardMsgBox, AnswersAreStandardResultCodes) {
    struct Case {
        int flags;
        std::function<void(QMessageBox*)> act;
        int result;
    };
    const QList<Case> cases = {
        {291, [](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }, 6},
        {291, [](QMessageBox* b) { b->button(QMessageBox::No)->click(); }, 7},
        {291, [](QMessageBox* b) { b->button(QMessageBox::Cancel)->click(); }, 2},
        {291, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, 2},
        {291, [](QMessageBox* b) { b->close(); }, 2},
        {291, [](QMessageBox* b) { QTest::keyClick(b->focusWidget(), Qt::Key_Return); }, 7},
        {48, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, 1},
        {2, [](QMessageBox* b) { b->button(QMessageBox::Retry)->click(); }, 4},
        {291, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Aacute, Qt::AltModifier); }, 6},
    };
    for (const Case& c : cases) {
        whenShown<QMessageBox>(c.act);
        EXPECT_EQ(app::showStandardMessage(nullptr, QStringLiteral("x"), c.flags), c.result);
    }
}
