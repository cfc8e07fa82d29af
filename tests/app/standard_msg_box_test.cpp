#include "app/standard_msg_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "tests/dialogs/qt_test_support.h"

using testing_qt::whenShown;

TEST(StandardMsgBox, ExclamationWithOk) {
    const auto box = app::makeStandardMessageBox(nullptr, QStringLiteral("riadok 1\r\nriadok 2"), 48);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmorant"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->text(), QStringLiteral("riadok 1\nriadok 2"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(StandardMsgBox, QuestionWithYesNoCancelAndNoAsDefault) {
    const auto box = app::makeStandardMessageBox(nullptr, QStringLiteral("<b>otázka</b>"), 291);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QStringLiteral("&Ano"));
    EXPECT_EQ(box->button(QMessageBox::No)->text(), QStringLiteral("&Nie"));
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), QStringLiteral("Zrušiť"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(StandardMsgBox, OtherSetsIconsAndDefaults) {
    EXPECT_EQ(app::makeStandardMessageBox(nullptr, "x", 1 + 16)->standardButtons(),
              QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(app::makeStandardMessageBox(nullptr, "x", 1 + 16)->icon(), QMessageBox::Critical);
    const auto ari = app::makeStandardMessageBox(nullptr, "x", 2 + 512);
    EXPECT_EQ(ari->defaultButton(), ari->button(QMessageBox::Ignore));
    EXPECT_EQ(ari->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(app::makeStandardMessageBox(nullptr, "x", 4 + 64)->icon(), QMessageBox::Information);
    EXPECT_EQ(app::makeStandardMessageBox(nullptr, "x", 5)->standardButtons(),
              QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(app::makeStandardMessageBox(nullptr, "x", 9)->standardButtons(), QMessageBox::Ok);
    // A default beyond the buttons there are leaves the choice to the box.
    const auto yn = app::makeStandardMessageBox(nullptr, "x", 4 + 768);
    EXPECT_EQ(yn->standardButtons(), QMessageBox::Yes | QMessageBox::No);
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
        {291, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_A, Qt::AltModifier); }, 6},
    };
    for (const Case& c : cases) {
        whenShown<QMessageBox>(c.act);
        EXPECT_EQ(app::showStandardMessage(nullptr, QStringLiteral("x"), c.flags), c.result);
    }
}
