#include "dialogs/frm_ruv_msg_box.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/module_ruv_msg_box.h"
#include "support/qt_test_support.h"

using dialogs::frmRuvMsgBox;
using testing_qt::whenShown;

namespace {

// Shows a box with the given flags and lets act look at it and close it.
int show(int flags, std::function<void(frmRuvMsgBox*)> act) {
    whenShown<frmRuvMsgBox>([act](frmRuvMsgBox* box) {
        box->countdownTimer()->stop();
        act(box);
    });
    frmRuvMsgBox box;
    return box.Ukaz(QStringLiteral("Správa"), flags);
}

} // namespace

TEST(FrmRuvMsgBox, ButtonSetsCaptionsResultsAndEscButton) {
    struct Set {
        int flags;
        QStringList captions;
        QList<int> results;
        QString escape; // caption of the Esc button, empty: none
    };
    const QList<Set> sets = {
        {0, {"OK"}, {1}, "OK"},
        {1, {"OK", "Zrušiť"}, {1, 2}, "Zrušiť"},
        {2, {"&Prerušiť", "&Znova", "&Ignorovať"}, {3, 4, 5}, ""},
        {3, {"&Ano", "&Nie", "Zrušiť"}, {6, 7, 2}, "Zrušiť"},
        {4, {"&Ano", "&Nie"}, {6, 7}, ""},
        {15, {"OK"}, {1}, "OK"},
    };
    for (const Set& set : sets)
        for (int i = 0; i < set.results.size(); ++i) {
            SCOPED_TRACE(set.flags * 10 + i);
            EXPECT_EQ(show(set.flags,
                           [&](frmRuvMsgBox* box) {
                               QStringList captions;
                               for (QPushButton* b : box->rowButtons()) captions << b->text();
                               EXPECT_EQ(captions, set.captions);
                               EXPECT_EQ(box->escapeButton() ? box->escapeButton()->text() : QString(), set.escape);
                               box->rowButtons()[i]->click();
                           }),
                      set.results[i]);
        }
}

// Result 0: the key leaves the box open; closing it then gives 2.
TEST(FrmRuvMsgBox, KeysPressTheRightButtons) {
    struct Case {
        int flags, key;
        Qt::KeyboardModifiers modifiers;
        int result;
    };
    const QList<Case> cases = {
        {48, Qt::Key_Escape, {}, 1},        {48, Qt::Key_Space, {}, 1},         {1 + 256, Qt::Key_Escape, {}, 2},
        {1 + 256, Qt::Key_Return, {}, 2},   {4, Qt::Key_N, Qt::AltModifier, 7}, {3, Qt::Key_A, Qt::AltModifier, 6},
        {2, Qt::Key_I, Qt::AltModifier, 5}, {4, Qt::Key_Escape, {}, 0},         {3 + 512, Qt::Key_Return, {}, 2},
        {4 + 768, Qt::Key_Return, {}, 6}, // beyond the row: the first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags * 1000 + c.key);
        const int result = show(c.flags, [c](frmRuvMsgBox* box) {
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key(c.key), c.modifiers);
            if (c.result != 0) return;
            EXPECT_TRUE(box->isVisible());
            box->close();
        });
        EXPECT_EQ(result, c.result == 0 ? 2 : c.result);
    }
}

TEST(FrmRuvMsgBox, IconMovesThePrompt) {
    for (int flags : {16, 32, 48, 64, 0, 80}) {
        SCOPED_TRACE(flags);
        const bool icon = flags >= 16 && flags <= 64;
        show(flags, [icon](frmRuvMsgBox* box) {
            EXPECT_EQ(box->picture()->isVisible(), icon);
            EXPECT_EQ(box->layoutTwips().promptLeft, icon ? 720 : 120);
            box->close();
        });
    }
}

TEST(FrmRuvMsgBox, ShowMsgBoxCountsDownFrom24AndClosesWith2) {
    whenShown<frmRuvMsgBox>([](frmRuvMsgBox* box) {
        box->countdownTimer()->stop();
        QLabel* label = box->countdownLabel();
        EXPECT_EQ(label->text(), QStringLiteral("24"));
        for (int i = 0; i < 23; ++i) box->tick();
        EXPECT_EQ(label->text(), QStringLiteral("1"));
        EXPECT_EQ(label->geometry().bottomRight(), box->rect().bottomRight());
        EXPECT_TRUE(box->isVisible());
        box->tick();
    });
    EXPECT_EQ(dialogs::ShowMsgBox(QStringLiteral("Import bol úspešný"), 64), 2);
}
