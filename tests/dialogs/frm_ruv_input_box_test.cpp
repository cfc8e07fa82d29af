#include "dialogs/frm_ruv_input_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/dialogs/qt_test_support.h"

using dialogs::frmRuvInputBox;
using testing_qt::whenShown;

namespace {

QString run(const QString& title, const QString& text, int timeout, std::function<void(frmRuvInputBox*)> act) {
    whenShown<frmRuvInputBox>([act](frmRuvInputBox* box) {
        box->countdownTimer()->stop();
        act(box);
    });
    frmRuvInputBox box;
    return box.Ukaz(QStringLiteral("Zadajte text"), title, text, timeout);
}

} // namespace

TEST(FrmRuvInputBox, CaptionIsTheTrimmedTitleOrTheApplicationTitle) {
    for (const auto& [title, caption] : {std::pair{"   ", "Velmorant"}, std::pair{"  Heslo ", "Heslo"}}) {
        run(title, "", 0, [caption = QString(caption)](frmRuvInputBox* box) {
            EXPECT_EQ(box->windowTitle(), caption);
            box->close();
        });
    }
}

TEST(FrmRuvInputBox, ConfirmingAndCancelling) {
    EXPECT_EQ(run("", "abc", 0,
                  [](frmRuvInputBox* box) {
                      EXPECT_EQ(box->editBox()->selectedText(), QStringLiteral("abc"));
                      EXPECT_EQ(box->focusWidget(), box->editBox());
                      QTest::keyClicks(box->editBox(), QStringLiteral("xy")); // replaces the selection
                      QTest::keyClick(box->editBox(), Qt::Key_Return);
                  }),
              QStringLiteral("xy"));
    EXPECT_EQ(run("", "abc", 0, [](frmRuvInputBox* box) { box->okButton()->click(); }), QStringLiteral("abc"));
    EXPECT_EQ(run("", "", 0, [](frmRuvInputBox* box) { box->okButton()->click(); }), QString());
    EXPECT_EQ(run("", "abc", 0, [](frmRuvInputBox* box) { box->cancelButton()->click(); }), QString());
    EXPECT_EQ(run("", "abc", 0, [](frmRuvInputBox* box) { QTest::keyClick(box->editBox(), Qt::Key_Escape); }),
              QString());
    EXPECT_EQ(run("", "abc", 0, [](frmRuvInputBox* box) { box->close(); }), QString());
}

TEST(FrmRuvInputBox, CountdownStartsAgainOnEveryChange) {
    const QString result = run("", "abc", 10, [](frmRuvInputBox* box) {
        QLabel* label = box->countdownLabel();
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->text(), QStringLiteral("8")); // the default text and the first step
        EXPECT_EQ(label->geometry().bottomRight(), box->rect().bottomRight());
        for (int i = 0; i < 5; ++i) box->tick();
        EXPECT_EQ(label->text(), QStringLiteral("3"));
        QTest::keyClick(box->editBox(), Qt::Key_Z);
        EXPECT_EQ(label->text(), QStringLiteral("9"));
        for (int i = 0; i < 8; ++i) box->tick();
        EXPECT_EQ(label->text(), QStringLiteral("1"));
        EXPECT_TRUE(box->isVisible());
        box->tick();
        EXPECT_FALSE(box->isVisible());
    });
    EXPECT_EQ(result, QString());
}
