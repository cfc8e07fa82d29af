#include "dialogs/frm_ruv_msg_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "dialogs/app_title.h"
#include "dialogs/button_captions.h"
#include "dialogs/centre.h"
#include "dialogs/countdown.h"
#include "dialogs/format_text.h"
#include "dialogs/msg_box_flags.h"
#include "dialogs/twips.h"

namespace dialogs {

namespace {
QStyle::StandardPixmap iconFor(int iconField, bool* found) {
    *found = true;
    switch (iconField) {
    case mb::Critical: return QStyle::SP_MessageBoxCritical;
    case mb::Question: return QStyle::SP_MessageBoxQuestion;
    case mb::Exclamation: return QStyle::SP_MessageBoxWarning;
    case mb::Information: return QStyle::SP_MessageBoxInformation;
    default: *found = false; return QStyle::SP_CustomBase;
    }
}
} // namespace

frmRuvMsgBox::frmRuvMsgBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      lblPrompt_(new QLabel(this)), imgPicture_(new QLabel(this)), countdown_(this, [this] { tick(); }) {
    setFont(arialFont(8.25));
    const Twips tw(this);
    lblPrompt_->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt_->setFont(arialFont(9.75));
    lblPrompt_->setTextFormat(Qt::PlainText);
    lblPrompt_->setWordWrap(false);
    lblPrompt_->move(tw.toPixelsX(MsgBoxMetrics::margin), tw.toPixelsY(MsgBoxMetrics::margin));
    imgPicture_->setObjectName(QStringLiteral("imgPicture"));
    imgPicture_->setGeometry(
        tw.toPixels(MsgBoxMetrics::iconLeft, 360, MsgBoxMetrics::iconSize, MsgBoxMetrics::iconSize));
    imgPicture_->setAlignment(Qt::AlignCenter);
    imgPicture_->hide();
    addButton(0); // element 0: becomes OK when the OK button is wanted
}

int frmRuvMsgBox::Ukaz(const QString& prompt, int buttons, int timeoutSec) {
    result_ = mb::ResultCancel;
    buttons_ = buttons;
    prompt_ = prompt;
    countdown_.reset(timeoutSec);
    load();
    countdown_.showIfCounting();
    tick();
    exec();
    return result_;
}

void frmRuvMsgBox::load() {
    setWindowTitle(applicationTitle());
    lblPrompt_->setText(displayText(prompt_));
    buildButtonRow();
    chooseIcon();
    layOut();
    defaultOrdinal_ = mb::defaultButton(buttons_) + 1;
    activated_ = false;
}

QPushButton* frmRuvMsgBox::addButton(int resultCode) {
    auto* button = new QPushButton(this);
    button->setObjectName(QStringLiteral("cmdButton%1").arg(cmdButton_.size()));
    button->setFont(arialFont(9.75));
    button->setAutoDefault(true);
    button->setText(FormatText(buttonCaption(resultCode)));
    button->hide();
    cmdButton_.append({button, resultCode});
    connect(button, &QPushButton::clicked, this, [this, button] {
        for (const Element& e : cmdButton_)
            if (e.button == button) press(e.resultCode);
    });
    return button;
}

void frmRuvMsgBox::buildButtonRow() {
    const int set = mb::buttonSet(buttons_);
    if (set == mb::YesNoCancel || set == mb::YesNo) {
        addButton(mb::ResultYes);
        addButton(mb::ResultNo);
    }
    if (set == mb::AbortRetryIgnore) {
        addButton(mb::ResultAbort);
        addButton(mb::ResultRetry);
        addButton(mb::ResultIgnore);
    }
    bool okWanted = set == mb::OkCancel;
    if (set == mb::YesNoCancel || set == mb::OkCancel) escapeButton_ = addButton(mb::ResultCancel);
    if (cmdButton_.size() == 1) okWanted = true;
    if (okWanted) {
        Element& ok = cmdButton_.first();
        ok.button->setText(FormatText(buttonCaption(mb::ResultOk)));
        ok.resultCode = mb::ResultOk;
        if (cmdButton_.size() == 1) escapeButton_ = ok.button;
    }
}

void frmRuvMsgBox::chooseIcon() {
    bool found = false;
    const QStyle::StandardPixmap which = iconFor(mb::icon(buttons_), &found);
    if (!found) return;
    const int size = Twips(this).toPixelsX(MsgBoxMetrics::iconSize);
    imgPicture_->setPixmap(style()->standardIcon(which, nullptr, this).pixmap(QSize(size, size)));
    imgPicture_->show();
}

void frmRuvMsgBox::layOut() {
    const Twips tw(this);
    lblPrompt_->setText(displayText(prompt_));
    lblPrompt_->adjustSize();
    const QList<QPushButton*> row = rowButtons();
    layout_ = layOutMsgBox(tw.fromPixelsX(lblPrompt_->width()), tw.fromPixelsY(lblPrompt_->height()),
                           !imgPicture_->isHidden(), int(row.size()));
    setFixedSize(tw.toPixelsX(layout_.clientWidth), tw.toPixelsY(layout_.clientHeight));
    centreOnScreen(this);
    lblPrompt_->move(tw.toPixelsX(layout_.promptLeft), lblPrompt_->y());
    int x = layout_.rowLeft;
    for (QPushButton* button : row) {
        button->setGeometry(tw.toPixels(x, layout_.rowTop, MsgBoxMetrics::buttonWidth, MsgBoxMetrics::buttonHeight));
        button->show();
        x += MsgBoxMetrics::buttonWidth + MsgBoxMetrics::margin;
    }
    imgPicture_->move(imgPicture_->x(), tw.toPixelsY(layout_.iconTop));
}

QList<QPushButton*> frmRuvMsgBox::rowButtons() const {
    QList<QPushButton*> row;
    for (const Element& e : cmdButton_)
        if (e.resultCode != 0) row.append(e.button);
    return row;
}

QPushButton* frmRuvMsgBox::focusRuleButton() const {
    const QList<QPushButton*> row = rowButtons();
    return defaultOrdinal_ <= row.size() ? row[defaultOrdinal_ - 1] : nullptr;
}

void frmRuvMsgBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || activated_) return;
    activated_ = true;
    if (QPushButton* button = focusRuleButton()) button->setFocus(Qt::ActiveWindowFocusReason);
}

void frmRuvMsgBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        // Esc presses the Esc button, if the row has one, and nothing else.
        if (escapeButton_) escapeButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmRuvMsgBox::tick() {
    if (countdown_.step()) return;
    result_ = mb::ResultCancel;
    done(QDialog::Rejected);
}

void frmRuvMsgBox::press(int resultCode) {
    result_ = resultCode;
    done(QDialog::Accepted);
}

} // namespace dialogs
