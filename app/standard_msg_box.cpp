#include "app/standard_msg_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "dialogs/app_title.h"
#include "dialogs/button_captions.h"
#include "merge/run_ui.h"

namespace app {

namespace {

using Button = QMessageBox::StandardButton;

QList<Button> buttonSet(int flags) {
    switch (flags & 15) {
    case merge::mb::OkCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case merge::mb::AbortRetryIgnore: return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case merge::mb::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case merge::mb::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case merge::mb::RetryCancel: return {QMessageBox::Retry, QMessageBox::Cancel};
    default: return {QMessageBox::Ok};
    }
}

QMessageBox::Icon iconOf(int flags) {
    switch (flags & 112) {
    case merge::mb::Critical: return QMessageBox::Critical;
    case merge::mb::Question: return QMessageBox::Question;
    case merge::mb::Exclamation: return QMessageBox::Warning;
    case merge::mb::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int resultCode(Button button) {
    switch (button) {
    case QMessageBox::Ok: return merge::mb::ResultOk;
    case QMessageBox::Abort: return merge::mb::ResultAbort;
    case QMessageBox::Retry: return merge::mb::ResultRetry;
    case QMessageBox::Ignore: return merge::mb::ResultIgnore;
    case QMessageBox::Yes: return merge::mb::ResultYes;
    case QMessageBox::No: return merge::mb::ResultNo;
    default: return merge::mb::ResultCancel;
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
    box->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box->setIcon(iconOf(flags));
    const QList<Button> buttons = buttonSet(flags);
    QMessageBox::StandardButtons all;
    for (Button b : buttons) all |= b;
    box->setStandardButtons(all);
    // The program's own Slovak captions: Qt's Slovak translation has none.
    for (Button b : buttons) box->button(b)->setText(caption(b));
    const int ordinal = (flags & 768) / 256;
    if (ordinal < buttons.size()) box->setDefaultButton(buttons[ordinal]);
    return box;
}

int standardResult(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? resultCode(box.standardButton(clicked)) : merge::mb::ResultCancel;
}

int showStandardMessage(QWidget* parent, const QString& text, int flags) {
    const std::unique_ptr<QMessageBox> box = makeStandardMessageBox(parent, text, flags);
    box->exec();
    return standardResult(*box);
}

} // namespace app
