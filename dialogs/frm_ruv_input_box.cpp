#include "dialogs/frm_ruv_input_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/countdown.h"
#include "dialogs/format_text.h"
#include "dialogs/twips.h"
#include "ui/forms.h"

namespace dialogs {

frmRuvInputBox::frmRuvInputBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      lblPrompt_(new QLabel(this)), txtEdit_(new QLineEdit(this)), cmdOk_(new QPushButton(this)),
      cmdCancel_(new QPushButton(this)), countdown_(this, [this] { tick(); }) {
    namespace box = ui::input_box;
    setFont(arialFont(box::kFontPoints));
    const ui::Twips tw = twipsOf(this);
    setFixedSize(tw.toPixelsX(box::kClientWidth), tw.toPixelsY(box::kClientHeight));
    const auto place = [this](QWidget* widget, box::Control which) {
        const ui::ControlPlace& control = box::kControls[which];
        widget->setObjectName(QString::fromLatin1(control.name));
        widget->setGeometry(toPixels(this, control.twips));
    };
    place(lblPrompt_, box::Prompt);
    lblPrompt_->setTextFormat(Qt::PlainText);
    lblPrompt_->setWordWrap(true);
    lblPrompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(txtEdit_, box::Edit);
    place(cmdOk_, box::Ok);
    cmdOk_->setText(qText(box::kControls[box::Ok].text));
    cmdOk_->setDefault(true);
    place(cmdCancel_, box::Cancel);
    cmdCancel_->setText(qText(box::kControls[box::Cancel].text));
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
    countdown_.reset(timeoutSec);
    setWindowTitle(qText(ui::input_box::caption(title.toStdString())));
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
