// The timed box in Qt answered by keys: Esc, Enter and Space, access keys,
// and the default button; the button rows themselves are ui's.
#include "dialogs/frm_ruv_msg_box.h"

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
