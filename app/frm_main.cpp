#include "app/frm_main.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/centre.h"
#include "dialogs/twips.h"
#include "merge/import_run.h"
#include "merge/run_record.h"

namespace app {

namespace {
// Database files first, everything else second.
const QStringList kFileFilter = {QStringLiteral("Databázové súbory(*.mdb)"), QStringLiteral("Všetky súbory(*.*)")};
} // namespace

frmMain::frmMain(Seams seams, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      seams_(std::move(seams)), initialFolder_(QCoreApplication::applicationDirPath()),
      txtSpojenySubor_(new QLineEdit(this)), txtPridatSubor_(new QLineEdit(this)),
      lblLog_(new QLabel(this)), l_{new QLabel(QStringLiteral("Spojený súbor"), this),
                                    new QLabel(QStringLiteral("Pridať súbor"), this)},
      cmdSpojSubory_(new QPushButton(QStringLiteral("Spoj súbory"), this)),
      cmdVolbaSpojenehoSuboru_(new QPushButton(QStringLiteral("..."), this)),
      cmdVolbaNovehoSuboru_(new QPushButton(QStringLiteral("..."), this)) {
    setWindowTitle(QStringLiteral("Spojenie databáz"));
    setFont(dialogs::arialFont(8.25));
    txtSpojenySubor_->setObjectName(QStringLiteral("txtSpojenySubor"));
    txtSpojenySubor_->setToolTip(QStringLiteral("Názov súboru, do ktorého má byť pridaný ďalší súbor"));
    txtPridatSubor_->setObjectName(QStringLiteral("txtPridatSubor"));
    txtPridatSubor_->setToolTip(QStringLiteral("Názov súboru, ktorý má byť pridaný do \"spojeného súboru\""));
    lblLog_->setObjectName(QStringLiteral("lblLog"));
    lblLog_->setTextFormat(Qt::PlainText);
    l_[0]->setObjectName(QStringLiteral("l0"));
    l_[1]->setObjectName(QStringLiteral("l1"));
    cmdSpojSubory_->setObjectName(QStringLiteral("cmdSpojSubory"));
    cmdVolbaSpojenehoSuboru_->setObjectName(QStringLiteral("cmdVolbaSpojenehoSuboru"));
    cmdVolbaSpojenehoSuboru_->setToolTip(QStringLiteral("Voľba súboru"));
    cmdVolbaNovehoSuboru_->setObjectName(QStringLiteral("cmdVolbaNovehoSuboru"));
    cmdVolbaNovehoSuboru_->setToolTip(QStringLiteral("Voľba súboru"));
    placeControls();

    setTabOrder(txtSpojenySubor_, txtPridatSubor_);
    setTabOrder(txtPridatSubor_, cmdSpojSubory_);
    setTabOrder(cmdSpojSubory_, cmdVolbaSpojenehoSuboru_);
    setTabOrder(cmdVolbaSpojenehoSuboru_, cmdVolbaNovehoSuboru_);
    txtSpojenySubor_->setFocus();

    connect(cmdVolbaNovehoSuboru_, &QPushButton::clicked, this,
            [this] { browse(QStringLiteral("Pridaný súbor"), txtPridatSubor_); });
    connect(cmdVolbaSpojenehoSuboru_, &QPushButton::clicked, this,
            [this] { browse(QStringLiteral("Výsledný súbor"), txtSpojenySubor_); });
    connect(cmdSpojSubory_, &QPushButton::clicked, this, &frmMain::cmdSpojSubory_Click);
}

void frmMain::placeControls() {
    const dialogs::Twips tw(this);
    setFixedSize(tw.toPixelsX(7125), tw.toPixelsY(1890));
    txtSpojenySubor_->setGeometry(tw.toPixels(240, 720, 4095, 315));
    txtPridatSubor_->setGeometry(tw.toPixels(240, 1320, 4095, 315));
    lblLog_->setGeometry(tw.toPixels(120, 120, 420, 210));
    l_[0]->setGeometry(tw.toPixels(120, 480, 1050, 210));
    l_[1]->setGeometry(tw.toPixels(120, 1080, 885, 210));
    cmdSpojSubory_->setGeometry(tw.toPixels(5520, 720, 1455, 495));
    cmdVolbaSpojenehoSuboru_->setGeometry(tw.toPixels(4320, 720, 615, 375));
    cmdVolbaNovehoSuboru_->setGeometry(tw.toPixels(4320, 1320, 615, 375));
    // The labels take the size of their captions.
    for (QLabel* label : {lblLog_, l_[0], l_[1]}) label->adjustSize();
    dialogs::centreOnScreen(this);
}

void frmMain::browse(const QString& title, QLineEdit* box) {
    const FileDialogRequest request{title, box->text(), initialFolder_, kFileFilter};
    if (const std::optional<QString> chosen = seams_.fileDialog(this, request)) box->setText(*chosen);
}

void frmMain::cmdSpojSubory_Click() {
    const merge::ImportResult result = merge::ImportDatabase(txtSpojenySubor_->text().toStdString(),
                                                             txtPridatSubor_->text().toStdString(), keyMaps_, *this);
    // The user has seen the outcome: a record that cannot be written is not
    // worth a word to them.
    (void)merge::recordRun(result, "velmorant " + QCoreApplication::applicationVersion().toStdString());
}

int frmMain::showMessage(const std::string& text, int flags) {
    return seams_.messageBox(this, QString::fromStdString(text), flags);
}

void frmMain::focusTarget() { txtSpojenySubor_->setFocus(); }

void frmMain::focusSource() { txtPridatSubor_->setFocus(); }

void frmMain::setProgress(const std::string& caption) {
    const QRect before = lblLog_->geometry();
    lblLog_->setText(QString::fromStdString(caption));
    lblLog_->adjustSize();
    // The run holds the window thread, so the label is painted at once, and
    // with it whatever a longer caption before it covered.
    repaint(before.united(lblLog_->geometry()));
}

void frmMain::showOutcome(const std::string& text, int flags) {
    seams_.outcomeBox(QString::fromStdString(text), flags);
}

} // namespace app
