#include "dialogs/frm_ruv_input_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/app_title.h"
#include "dialogs/countdown.h"
#include "dialogs/format_text.h"
#include "dialogs/twips.h"

namespace dialogs {

frmRuvInputBox::frmRuvInputBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      lblPrompt_(new QLabel(this)), txtEdit_(new QLineEdit(this)), cmdOk_(new QPushButton(QStringLiteral("Ok"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("Naspäť"), this)), countdown_(this, [this] { tick(); }) {
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
    setTabOrder(txtEdit_, cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);

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

QString frmRuvInputBox::Ukaz(const QString& prompt, const QString& title, const QString& defaultText, int timeoutSec) {
    QString caption = trimSpaces(title);
    if (caption.isEmpty()) caption = applicationTitle();
    countdown_.reset(timeoutSec);
    setWindowTitle(caption);
    lblPrompt_->setText(prompt);
    txtEdit_->setText(defaultText);
    txtEdit_->setSelection(0, int(txtEdit_->text().size()));
    countdown_.showIfCounting();
    tick();
    txtEdit_->setFocus();
    exec();
    return result_;
}

void frmRuvInputBox::textChanged() {
    countdown_.restart();
    tick();
}

void frmRuvInputBox::tick() {
    if (countdown_.step()) return;
    result_.clear();
    done(QDialog::Rejected);
}

} // namespace dialogs
