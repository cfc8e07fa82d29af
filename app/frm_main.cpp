#include "app/frm_main.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/centre.h"
#include "dialogs/format_text.h"
#include "dialogs/twips.h"
#include "merge/import_run.h"
#include "merge/run_record.h"

namespace app {

namespace mw = ui::main_window;

frmMain::frmMain(Seams seams, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      seams_(std::move(seams)), initialFolder_(QCoreApplication::applicationDirPath()),
      txtSpojenySubor_(new QLineEdit(this)), txtPridatSubor_(new QLineEdit(this)), lblLog_(new QLabel(this)),
      l_{new QLabel(this), new QLabel(this)}, cmdSpojSubory_(new QPushButton(this)),
      cmdVolbaSpojenehoSuboru_(new QPushButton(this)), cmdVolbaNovehoSuboru_(new QPushButton(this)) {
    setWindowTitle(dialogs::qText(mw::kCaption));
    setFont(dialogs::arialFont(mw::kFontPoints));
    lblLog_->setTextFormat(Qt::PlainText);
    placeControls();
    QWidget* previous = nullptr;
    for (QWidget* control : controls()) {
        if (auto* button = qobject_cast<QPushButton*>(control)) button->installEventFilter(this);
        if (control->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, control);
        previous = control;
    }
    txtSpojenySubor_->setFocus();

    connect(cmdVolbaNovehoSuboru_, &QPushButton::clicked, this,
            [this] { browse(mw::kSourceBrowseTitle, txtPridatSubor_); });
    connect(cmdVolbaSpojenehoSuboru_, &QPushButton::clicked, this,
            [this] { browse(mw::kTargetBrowseTitle, txtSpojenySubor_); });
    connect(cmdSpojSubory_, &QPushButton::clicked, this, &frmMain::cmdSpojSubory_Click);
}

std::array<QWidget*, mw::kControlCount> frmMain::controls() const {
    return {txtSpojenySubor_, txtPridatSubor_, lblLog_, l_[0], l_[1], cmdSpojSubory_, cmdVolbaSpojenehoSuboru_,
            cmdVolbaNovehoSuboru_};
}

void frmMain::placeControls() {
    const ui::Twips tw = dialogs::twipsOf(this);
    setFixedSize(tw.toPixelsX(mw::kClientWidth), tw.toPixelsY(mw::kClientHeight));
    const auto all = controls();
    for (int i = 0; i < mw::kControlCount; ++i) {
        const ui::ControlPlace& place = mw::kControls[i];
        QWidget* control = all[i];
        control->setObjectName(QString::fromLatin1(place.name));
        control->setGeometry(dialogs::toPixels(this, place.twips));
        control->setToolTip(dialogs::qText(place.tooltip));
        control->setProperty("text", dialogs::qText(place.text));
        // The labels take the size of their captions.
        if (auto* label = qobject_cast<QLabel*>(control)) label->adjustSize();
    }
    dialogs::centreOnScreen(this);
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    dialogs::centreOnScreen(this); // now by the frame the window has
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Enter presses the button that has the focus, as Space does.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QPushButton*>(watched)->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::browse(const char* title, QLineEdit* box) {
    QStringList filters;
    for (const mw::FileFilter& filter : mw::kFileFilters) filters << dialogs::qText(filter.description);
    const FileDialogRequest request{dialogs::qText(title), box->text(), initialFolder_, filters};
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
