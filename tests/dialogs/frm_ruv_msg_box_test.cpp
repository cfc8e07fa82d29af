#include "dialogs/frm_ruv_msg_box.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/module_ruv_msg_box.h"
#include "dialogs/twips.h"
#include "tests/dialogs/qt_test_support.h"

using dialogs::frmRuvMsgBox;
using testing_qt::whenShown;

namespace {

QStringList captions(const QList<QPushButton*>& buttons) {
    QStringList out;
    for (const QPushButton* b : buttons) out << b->text();
    return out;
}

// Shows a box with the given flags, lets check look at it while it is open,
// then presses the button with the given index of the row.
int pressButton(int flags, int index, std::function<void(frmRuvMsgBox*)> check = {}) {
    whenShown<frmRuvMsgBox>([=](frmRuvMsgBox* box) {
        box->countdownTimer()->stop();
        if (check) check(box);
        box->rowButtons().value(index, box->rowButtons().first())->click();
    });
    frmRuvMsgBox box;
    return box.Ukaz(QStringLiteral("Správa"), flags);
}

struct ButtonSet {
    int flags;
    QStringList captions;
    QList<int> results;
    QString escape; // caption of the Esc button, empty: none
};

} // namespace

TEST(FrmRuvMsgBox, ButtonSetsCaptionsResultsAndEscButton) {
    const QList<ButtonSet> sets = {
        {0, {"OK"}, {1}, "OK"},
        {1, {"OK", "Zrušiť"}, {1, 2}, "Zrušiť"},
        {2, {"&Prerušiť", "&Znova", "&Ignorovať"}, {3, 4, 5}, ""},
        {3, {"&Ano", "&Nie", "Zrušiť"}, {6, 7, 2}, "Zrušiť"},
        {4, {"&Ano", "&Nie"}, {6, 7}, ""},
        {5, {"OK"}, {1}, "OK"},
        {15, {"OK"}, {1}, "OK"},
    };
    for (const ButtonSet& set : sets) {
        SCOPED_TRACE(set.flags);
        for (int i = 0; i < set.results.size(); ++i) {
            const int result = pressButton(set.flags, i, [&](frmRuvMsgBox* box) {
                EXPECT_EQ(captions(box->rowButtons()), set.captions);
                EXPECT_EQ(box->escapeButton() ? box->escapeButton()->text() : QString(), set.escape);
                for (QPushButton* b : box->rowButtons()) EXPECT_TRUE(b->isVisible());
            });
            EXPECT_EQ(result, set.results[i]);
        }
    }
}

TEST(FrmRuvMsgBox, KeysPressTheRightButtons) {
    struct Case {
        int flags;
        int key;
        Qt::KeyboardModifiers modifiers;
        int result;
    };
    const QList<Case> cases = {
        {48, Qt::Key_Escape, Qt::NoModifier, 1},
        {48, Qt::Key_Return, Qt::NoModifier, 1},
        {48, Qt::Key_Space, Qt::NoModifier, 1},
        {1 + 256, Qt::Key_Escape, Qt::NoModifier, 2},
        {1 + 256, Qt::Key_Return, Qt::NoModifier, 2},
        {4, Qt::Key_N, Qt::AltModifier, 7},
        {3, Qt::Key_A, Qt::AltModifier, 6},
        {2, Qt::Key_I, Qt::AltModifier, 5},
        // The focus on the default button, the first when the default is beyond the row.
        {3 + 512, Qt::Key_Return, Qt::NoModifier, 2},
        {4 + 768, Qt::Key_Return, Qt::NoModifier, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags * 1000 + c.key);
        whenShown<frmRuvMsgBox>([c](frmRuvMsgBox* box) {
            box->countdownTimer()->stop();
            QWidget* target = box->focusWidget() ? box->focusWidget() : box;
            QTest::keyClick(target, Qt::Key(c.key), c.modifiers);
        });
        frmRuvMsgBox box;
        EXPECT_EQ(box.Ukaz(QStringLiteral("x"), c.flags), c.result);
    }
}

TEST(FrmRuvMsgBox, EscWithoutEscButtonDoesNothingAndClosingGives2) {
    whenShown<frmRuvMsgBox>([](frmRuvMsgBox* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_TRUE(box->isVisible());
        box->close();
    });
    frmRuvMsgBox box;
    EXPECT_EQ(box.Ukaz(QStringLiteral("Otázka"), 4), 2);
}

TEST(FrmRuvMsgBox, IconsAndPromptPlace) {
    for (int flags : {16, 32, 48, 64}) {
        SCOPED_TRACE(flags);
        pressButton(flags, 0, [](frmRuvMsgBox* box) {
            EXPECT_TRUE(box->picture()->isVisible());
            EXPECT_FALSE(box->picture()->pixmap().isNull());
            EXPECT_EQ(box->layoutTwips().promptLeft, 720);
            EXPECT_EQ(box->promptLabel()->x(), dialogs::Twips(box).toPixelsX(720));
        });
    }
    for (int flags : {0, 80}) {
        SCOPED_TRACE(flags);
        pressButton(flags, 0, [](frmRuvMsgBox* box) {
            EXPECT_FALSE(box->picture()->isVisible());
            EXPECT_EQ(box->layoutTwips().promptLeft, 120);
            EXPECT_GE(box->layoutTwips().rowTop, 120 + 480 + 120);
        });
    }
}

TEST(FrmRuvMsgBox, ShowMsgBoxCountsDownFrom24AndClosesWith2) {
    whenShown<frmRuvMsgBox>([](frmRuvMsgBox* box) {
        box->countdownTimer()->stop();
        QLabel* label = box->countdownLabel();
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->text(), QStringLiteral("24"));
        EXPECT_EQ(label->geometry().bottomRight(), box->rect().bottomRight());
        for (int i = 0; i < 23; ++i) box->tick();
        EXPECT_EQ(label->text(), QStringLiteral("1"));
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(label->geometry().bottomRight(), box->rect().bottomRight());
        box->tick();
    });
    EXPECT_EQ(dialogs::ShowMsgBox(QStringLiteral("Import bol úspešný"), 64), 2);
}
