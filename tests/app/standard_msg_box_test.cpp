#include "app/standard_msg_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "support/qt_test_support.h"

using B = QMessageBox;

TEST(StandardMsgBox, ButtonSetsIconsDefaultsAndSlovakCaptions) {
    struct Case {
        int flags;
        B::StandardButtons buttons;
        B::Icon icon;
        B::StandardButton defaultButton; // NoButton: left to the box
    };
    const QList<Case> cases = {
        {48, B::Ok, B::Warning, B::NoButton},
        {291, B::Yes | B::No | B::Cancel, B::Question, B::No},
        {1 + 16, B::Ok | B::Cancel, B::Critical, B::NoButton},
        {2 + 512, B::Abort | B::Retry | B::Ignore, B::NoIcon, B::Ignore},
        {4 + 64, B::Yes | B::No, B::Information, B::NoButton},
        {5, B::Retry | B::Cancel, B::NoIcon, B::NoButton},
        {4 + 768, B::Yes | B::No, B::NoIcon, B::NoButton}, // a default beyond the buttons there are
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const auto box = app::makeStandardMessageBox(nullptr, QStringLiteral("<b>riadok 1</b>\r\nriadok 2"), c.flags);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmorant"));
        EXPECT_EQ(box->standardButtons(), c.buttons);
        EXPECT_EQ(box->icon(), c.icon);
        if (c.defaultButton != B::NoButton) {
            EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
        }
        EXPECT_EQ(box->text(), QStringLiteral("<b>riadok 1</b>\nriadok 2"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
    }
    const auto question = app::makeStandardMessageBox(nullptr, QStringLiteral("x"), 291);
    EXPECT_EQ(question->button(B::Yes)->text(), QStringLiteral("&Áno"));
    EXPECT_EQ(question->button(B::No)->text(), QStringLiteral("&Nie"));
    EXPECT_EQ(question->button(B::Cancel)->text(), QStringLiteral("Zrušiť"));
}
