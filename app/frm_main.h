// The main window: the two file boxes with their browse buttons, the join
// button that runs the merge, and the progress label. It is the merge's user
// interface and owns the five key maps.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "app/file_dialog.h"
#include "app/standard_msg_box.h"
#include "dialogs/module_ruv_msg_box.h"
#include "merge/key_maps.h"
#include "merge/run_ui.h"
#include "ui/forms.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

// What the window shows through other windows; tests put their own in.
struct Seams {
    FileDialog fileDialog = openFileDialog;
    // The standard message box: text and flags in, result code out.
    std::function<int(QWidget* parent, const QString& text, int flags)> messageBox = showStandardMessage;
    // The outcome of a run, in the timed message box.
    std::function<void(const QString& text, int flags)> outcomeBox = [](const QString& text, int flags) {
        dialogs::ShowMsgBox(text, flags);
    };
};

class frmMain : public QWidget, public merge::RunUi {
    Q_OBJECT
public:
    explicit frmMain(Seams seams = {}, QWidget* parent = nullptr);

    // merge::RunUi
    int showMessage(const std::string& text, int flags) override;
    void focusTarget() override;
    void focusSource() override;
    void setProgress(const std::string& caption) override;
    void showOutcome(const std::string& text, int flags) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controls in the order of ui::main_window::kControls.
    std::array<QWidget*, ui::main_window::kControlCount> controls() const;
    void placeControls();
    void browse(const char* title, QLineEdit* box);
    void cmdSpojSubory_Click();

    Seams seams_;
    QString initialFolder_;
    merge::KeyMaps keyMaps_;

    QLineEdit* txtSpojenySubor_;
    QLineEdit* txtPridatSubor_;
    QLabel* lblLog_;
    QLabel* l_[2];
    QPushButton* cmdSpojSubory_;
    QPushButton* cmdVolbaSpojenehoSuboru_;
    QPushButton* cmdVolbaNovehoSuboru_;
};

} // namespace app
