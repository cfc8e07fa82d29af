#include "dialogs/frm_ruv_input_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "dialogs/app_title.h"
#include "dialogs/twips.h"

namespace dialogs {

frmRuvInputBox::frmRuvInputBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      lblPrompt_(new QLabel(this)), txtEdit_(new QLineEdit(this)),
      cmdOk_(new QPushButton(QStringLiteral("Ok"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("Naspäť"), this)), lblTimeout_(new QLabel(this)),
      timTimeout_(new QTimer(this)) {
    setFont(arialFont(8.25));
    const Twips tw(this);
    setFixedSize(tw.toPixelsX(6360), tw.toPixelsY(2790));
    lblPrompt_->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt_->setGeometry(tw.toPixels(120, 120, 4815, 1935));
    lblPrompt_->setTextFormat(Qt::PlainText);
    lblPrompt_->setWordWrap(true);
    lblPrompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtEdit_->setObjectName(QStringLiteral("txtEdit"));
    txtEdit_->setGeometry(tw.toPixels(120, 2280, 4935, 375));
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdOk_->setGeometry(tw.toPixels(5040, 120, 1215, 495));
    cmdOk_->setDefault(true);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setGeometry(tw.toPixels(5040, 720, 1215, 495));
    lblTimeout_->setObjectName(QStringLiteral("lblTimeout"));
    lblTimeout_->setTextFormat(Qt::PlainText);
    setTabOrder(txtEdit_, cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);
    timTimeout_->setInterval(1000);

    connect(timTimeout_, &QTimer::timeout, this, &frmRuvInputBox::tick);
    connect(txtEdit_, &QLineEdit::textChanged, this, &frmRuvInputBox::textChanged);
    connect(cmdOk_, &QPushButton::clicked, this, [this] {
        result_ = txtEdit_->text();
        done(QDialog::Accepted);
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        result_.clear();
        done(QDialog::Rejected);
    });
}

QString frmRuvInputBox::Ukaz(const QString& prompt, const QString& title, const QString& defaultText,
                             int timeoutSec) {
    QString caption = title;
    while (caption.startsWith(u' ')) caption.remove(0, 1);
    while (caption.endsWith(u' ')) caption.chop(1);
    if (caption.isEmpty()) caption = applicationTitle();
    timeoutSec_ = timeoutSec;
    remaining_ = timeoutSec;
    setWindowTitle(caption);
    lblPrompt_->setText(prompt);
    txtEdit_->setText(defaultText);
    txtEdit_->setSelection(0, int(txtEdit_->text().size()));
    lblTimeout_->setVisible(remaining_ >= 1);
    tick();
    txtEdit_->setFocus();
    exec();
    return result_;
}

void frmRuvInputBox::textChanged() {
    remaining_ = timeoutSec_;
    tick();
}

void frmRuvInputBox::tick() {
    if (remaining_ > 0) --remaining_;
    if (remaining_ <= 0 && timeoutSec_ > 0) {
        result_.clear();
        done(QDialog::Rejected);
        return;
    }
    lblTimeout_->setText(QString::number(remaining_));
    placeCountdownLabel();
}

void frmRuvInputBox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeCountdownLabel();
}

void frmRuvInputBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    placeCountdownLabel();
    timTimeout_->start();
}

void frmRuvInputBox::hideEvent(QHideEvent* event) {
    timTimeout_->stop();
    QDialog::hideEvent(event);
}

void frmRuvInputBox::placeCountdownLabel() {
    lblTimeout_->adjustSize();
    lblTimeout_->move(width() - lblTimeout_->width(), height() - lblTimeout_->height());
}

} // namespace dialogs
