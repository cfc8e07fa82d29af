#include "dialogs/frm_ruv_msg_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include "dialogs/app_title.h"
#include "dialogs/button_captions.h"
#include "dialogs/format_text.h"
#include "dialogs/twips.h"

namespace dialogs {

namespace {
constexpr int kResultOk = 1, kResultCancel = 2, kResultAbort = 3, kResultRetry = 4, kResultIgnore = 5,
              kResultYes = 6, kResultNo = 7;

// Line breaks arrive as CR LF; the label breaks lines at LF.
QString displayText(const QString& text) {
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QStyle::StandardPixmap iconFor(int iconField, bool* found) {
    *found = true;
    switch (iconField) {
    case 16: return QStyle::SP_MessageBoxCritical;
    case 32: return QStyle::SP_MessageBoxQuestion;
    case 48: return QStyle::SP_MessageBoxWarning;
    case 64: return QStyle::SP_MessageBoxInformation;
    default: *found = false; return QStyle::SP_CustomBase;
    }
}
} // namespace

frmRuvMsgBox::frmRuvMsgBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      lblPrompt_(new QLabel(this)), imgPicture_(new QLabel(this)), lblTimeout_(new QLabel(this)),
      timTimeout_(new QTimer(this)) {
    setFont(arialFont(8.25));
    const Twips tw(this);
    lblPrompt_->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt_->setFont(arialFont(9.75));
    lblPrompt_->setTextFormat(Qt::PlainText);
    lblPrompt_->setWordWrap(false);
    lblPrompt_->move(tw.toPixelsX(MsgBoxMetrics::margin), tw.toPixelsY(MsgBoxMetrics::margin));
    imgPicture_->setObjectName(QStringLiteral("imgPicture"));
    imgPicture_->setGeometry(tw.toPixels(MsgBoxMetrics::iconLeft, 360, MsgBoxMetrics::iconSize,
                                         MsgBoxMetrics::iconSize));
    imgPicture_->setAlignment(Qt::AlignCenter);
    imgPicture_->hide();
    lblTimeout_->setObjectName(QStringLiteral("lblTimeout"));
    lblTimeout_->setTextFormat(Qt::PlainText);
    timTimeout_->setInterval(1000);
    connect(timTimeout_, &QTimer::timeout, this, &frmRuvMsgBox::tick);
    addButton(0); // element 0: becomes OK when the OK button is wanted
}

int frmRuvMsgBox::Ukaz(const QString& prompt, int buttons, int timeoutSec) {
    result_ = kResultCancel;
    buttons_ = buttons;
    prompt_ = prompt;
    timeoutSec_ = timeoutSec;
    remaining_ = timeoutSec;
    load();
    lblTimeout_->setVisible(remaining_ >= 1);
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
    const int defaultField = buttons_ & 768;
    defaultOrdinal_ = defaultField / 256 + 1;
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
    const int set = buttons_ & 15;
    if (set == 3 || set == 4) {
        addButton(kResultYes);
        addButton(kResultNo);
    }
    if (set == 2) {
        addButton(kResultAbort);
        addButton(kResultRetry);
        addButton(kResultIgnore);
    }
    bool okWanted = set == 1;
    if (set == 3 || set == 1) escapeButton_ = addButton(kResultCancel);
    if (cmdButton_.size() == 1) okWanted = true;
    if (okWanted) {
        Element& ok = cmdButton_.first();
        ok.button->setText(FormatText(buttonCaption(kResultOk)));
        ok.resultCode = kResultOk;
        if (cmdButton_.size() == 1) escapeButton_ = ok.button;
    }
}

void frmRuvMsgBox::chooseIcon() {
    bool found = false;
    const QStyle::StandardPixmap which = iconFor(buttons_ & 112, &found);
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
    if (const QScreen* s = screen()) {
        const QRect area = s->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    lblPrompt_->move(tw.toPixelsX(layout_.promptLeft), lblPrompt_->y());
    int x = layout_.rowLeft;
    for (QPushButton* button : row) {
        button->setGeometry(tw.toPixels(x, layout_.rowTop, MsgBoxMetrics::buttonWidth,
                                        MsgBoxMetrics::buttonHeight));
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

void frmRuvMsgBox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeCountdownLabel();
}

void frmRuvMsgBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    timTimeout_->start();
}

void frmRuvMsgBox::hideEvent(QHideEvent* event) {
    timTimeout_->stop();
    QDialog::hideEvent(event);
}

void frmRuvMsgBox::placeCountdownLabel() {
    lblTimeout_->adjustSize();
    lblTimeout_->move(width() - lblTimeout_->width(), height() - lblTimeout_->height());
    lblTimeout_->raise(); // the corner is lower than the label: keep the digits over the last button
}

void frmRuvMsgBox::tick() {
    if (remaining_ > 0) --remaining_;
    if (remaining_ <= 0 && timeoutSec_ > 0) {
        result_ = kResultCancel;
        done(QDialog::Rejected);
        return;
    }
    lblTimeout_->setText(QString::number(remaining_));
    placeCountdownLabel();
}

void frmRuvMsgBox::press(int resultCode) {
    result_ = resultCode;
    done(QDialog::Accepted);
}

} // namespace dialogs
