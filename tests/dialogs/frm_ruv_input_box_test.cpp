#include "dialogs/frm_ruv_input_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "support/qt_test_support.h"

using dialogs::frmRuvInputBox;

namespace {

QString run(const QString& title, int timeout, std::function<void(frmRuvInputBox*)> act) {
    testing_qt::whenShown<frmRuvInputBox>([act](frmRuvInputBox* box) {
        box->countdownTimer()->stop();
        act(box);
    });
    frmRuvInputBox box;
    return box.Ukaz(QStringLiteral("Zadajte text"), title, QStringLiteral("abc"), timeout);
}

} // namespace

TEST(FrmRuvInputBox, CaptionsConfirmingAndCancelling) {
    for (const auto& [title, caption] : {std::pair{"   ", "Velmorant"}, std::pair{"  Heslo ", "Heslo"}})
        run(title, 0, [caption = QString(caption)](frmRuvInputBox* box) {
            EXPECT_EQ(box->windowTitle(), caption);
            EXPECT_EQ(box->okButton()->text(), QStringLiteral("Ok"));
            EXPECT_EQ(box->cancelButton()->text(), QStringLiteral("Naspäť"));
            box->close();
        });
    EXPECT_EQ(run("", 0,
                  [](frmRuvInputBox* box) {
                      EXPECT_EQ(box->focusWidget(), box->editBox());
                      QTest::keyClicks(box->editBox(), QStringLiteral("xy")); // replaces the selected default
                      QTest::keyClick(box->editBox(), Qt::Key_Return);
                  }),
              QStringLiteral("xy"));
    EXPECT_EQ(run("", 0, [](frmRuvInputBox* box) { box->okButton()->click(); }), QStringLiteral("abc"));
    EXPECT_EQ(run("", 0, [](frmRuvInputBox* box) { box->cancelButton()->click(); }), QString());
    EXPECT_EQ(run("", 0, [](frmRuvInputBox* box) { QTest::keyClick(box->editBox(), Qt::Key_Escape); }), QString());
}

TEST(FrmRuvInputBox, CountdownStartsAgainOnEveryChange) {
    const QString result = run("", 10, [](frmRuvInputBox* box) {
        QLabel* label = box->countdownLabel();
        EXPECT_EQ(label->text(), QStringLiteral("8")); // the default text and the first step
        for (int i = 0; i < 5; ++i) box->tick();
        EXPECT_EQ(label->text(), QStringLiteral("3"));
        QTest::keyClick(box->editBox(), Qt::Key_Z);
        EXPECT_EQ(label->text(), QStringLiteral("9"));
        for (int i = 0; i < 8; ++i) box->tick();
        EXPECT_TRUE(box->isVisible());
        box->tick();
        EXPECT_FALSE(box->isVisible());
    });
    EXPECT_EQ(result, QString());
}
