#include "app/standard_msg_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "dialogs/app_title.h"
#include "dialogs/button_captions.h"
#include "dialogs/format_text.h"
#include "dialogs/msg_box_flags.h"

namespace app {

namespace {

namespace mb = dialogs::mb;
using Button = QMessageBox::StandardButton;

QList<Button> buttonSet(int flags) {
    switch (mb::buttonSet(flags)) {
    case mb::OkCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case mb::AbortRetryIgnore: return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case mb::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case mb::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case mb::RetryCancel: return {QMessageBox::Retry, QMessageBox::Cancel};
    default: return {QMessageBox::Ok};
    }
}

QMessageBox::Icon iconOf(int flags) {
    switch (mb::icon(flags)) {
    case mb::Critical: return QMessageBox::Critical;
    case mb::Question: return QMessageBox::Question;
    case mb::Exclamation: return QMessageBox::Warning;
    case mb::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int resultCode(Button button) {
    switch (button) {
    case QMessageBox::Ok: return mb::ResultOk;
    case QMessageBox::Abort: return mb::ResultAbort;
    case QMessageBox::Retry: return mb::ResultRetry;
    case QMessageBox::Ignore: return mb::ResultIgnore;
    case QMessageBox::Yes: return mb::ResultYes;
    case QMessageBox::No: return mb::ResultNo;
    default: return mb::ResultCancel;
    }
}

// The captions of a Slovak desktop's standard box. They are the timed box's
// own but for "Yes", which that box spells without the accent.
QString caption(Button button) {
    return button == QMessageBox::Yes ? QStringLiteral("&Áno") : dialogs::buttonCaption(resultCode(button));
}

} // namespace

std::unique_ptr<QMessageBox> makeStandardMessageBox(QWidget* parent, const QString& text, int flags) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(dialogs::applicationTitle());
    box->setTextFormat(Qt::PlainText);
    box->setText(dialogs::displayText(text));
    box->setIcon(iconOf(flags));
    const QList<Button> buttons = buttonSet(flags);
    QMessageBox::StandardButtons all;
    for (Button b : buttons) all |= b;
    box->setStandardButtons(all);
    // The program's own Slovak captions: Qt's Slovak translation has none.
    for (Button b : buttons) box->button(b)->setText(caption(b));
    const int ordinal = mb::defaultButton(flags);
    if (ordinal < buttons.size()) box->setDefaultButton(buttons[ordinal]);
    return box;
}

int standardResult(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? resultCode(box.standardButton(clicked)) : mb::ResultCancel;
}

int showStandardMessage(QWidget* parent, const QString& text, int flags) {
    const std::unique_ptr<QMessageBox> box = makeStandardMessageBox(parent, text, flags);
    box->exec();
    return standardResult(*box);
}

} // namespace app
