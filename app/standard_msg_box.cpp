#include "app/standard_msg_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "dialogs/format_text.h"
#include "ui/msg_box_flags.h"

namespace app {

namespace {

namespace mb = ui::mb;
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

QString caption(Button button) { return dialogs::qText(ui::standardButtonCaption(resultCode(button))); }

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
    // The Slovak captions of the standard box: Qt's Slovak translation has none.
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
