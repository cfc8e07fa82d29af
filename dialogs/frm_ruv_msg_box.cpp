#include "dialogs/frm_ruv_msg_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "dialogs/centre.h"
#include "dialogs/countdown.h"
#include "dialogs/format_text.h"
#include "dialogs/twips.h"
#include "ui/msg_box_flags.h"

namespace dialogs {

namespace mb = ui::mb;
using M = ui::MsgBoxMetrics;

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
    setFont(arialFont(M::fontPoints));
    lblPrompt_->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt_->setFont(arialFont(M::promptFontPoints));
    lblPrompt_->setTextFormat(Qt::PlainText);
    lblPrompt_->setWordWrap(false);
    lblPrompt_->move(toPixels(this, {M::margin, M::margin, 0, 0}).topLeft());
    imgPicture_->setObjectName(QStringLiteral("imgPicture"));
    imgPicture_->setGeometry(toPixels(this, {M::iconLeft, 360, M::iconSize, M::iconSize}));
    imgPicture_->setAlignment(Qt::AlignCenter);
    imgPicture_->hide();
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
    activated_ = false;
}

void frmRuvMsgBox::buildButtonRow() {
    buttonRow_ = ui::buttonRow(buttons_);
    for (int resultCode : buttonRow_.results) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("cmdButton%1").arg(row_.size()));
        button->setFont(arialFont(M::promptFontPoints));
        button->setAutoDefault(true);
        button->setText(FormatText(qText(ui::buttonCaption(resultCode))));
        row_.append(button);
        connect(button, &QPushButton::clicked, this, [this, resultCode] { press(resultCode); });
    }
}

void frmRuvMsgBox::chooseIcon() {
    bool found = false;
    const QStyle::StandardPixmap which = iconFor(mb::icon(buttons_), &found);
    if (!found) return;
    const int size = twipsOf(this).toPixelsX(M::iconSize);
    imgPicture_->setPixmap(style()->standardIcon(which, nullptr, this).pixmap(QSize(size, size)));
    imgPicture_->show();
}

void frmRuvMsgBox::layOut() {
    const ui::Twips tw = twipsOf(this);
    lblPrompt_->setText(displayText(prompt_));
    lblPrompt_->adjustSize();
    layout_ = ui::layOutMsgBox(tw.fromPixelsX(lblPrompt_->width()), tw.fromPixelsY(lblPrompt_->height()),
                               !imgPicture_->isHidden(), int(row_.size()));
    setFixedSize(tw.toPixelsX(layout_.clientWidth), tw.toPixelsY(layout_.clientHeight));
    centreOnScreen(this);
    lblPrompt_->move(tw.toPixelsX(layout_.promptLeft), lblPrompt_->y());
    int x = layout_.rowLeft;
    for (QPushButton* button : row_) {
        button->setGeometry(toPixels(this, {x, layout_.rowTop, M::buttonWidth, M::buttonHeight}));
        button->show();
        x += M::buttonWidth + M::margin;
    }
    imgPicture_->move(imgPicture_->x(), tw.toPixelsY(layout_.iconTop));
}

QPushButton* frmRuvMsgBox::escapeButton() const {
    return buttonRow_.escape < 0 ? nullptr : row_[buttonRow_.escape];
}

QPushButton* frmRuvMsgBox::focusRuleButton() const {
    return buttonRow_.focus < 0 ? nullptr : row_[buttonRow_.focus];
}

void frmRuvMsgBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this); // now by the frame the window has
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
        if (QPushButton* button = escapeButton()) button->click();
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
