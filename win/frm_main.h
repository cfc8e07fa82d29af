// The main window on Windows: the two file boxes with their browse buttons,
// the join button that runs the merge, and the progress label, laid out from
// ui/forms.h. It is the merge's user interface and owns the five key maps.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "merge/key_maps.h"
#include "merge/run_ui.h"
#include "ui/forms.h"
#include "win/dialog_window.h"
#include "win/file_dialog.h"
#include "win/frm_ruv_msg_box.h"
#include "win/standard_msg_box.h"

namespace win {

// What the window shows through other windows; tests put their own in.
struct Seams {
    FileDialog fileDialog = openFileDialog;
    // The standard message box: text and flags in, result code out.
    std::function<int(HWND owner, const std::string& text, int flags)> messageBox = showStandardMessage;
    // The outcome of a run, in the timed message box.
    std::function<void(HWND owner, const std::string& text, int flags)> outcomeBox =
        [](HWND owner, const std::string& text, int flags) { ShowMsgBox(owner, text, flags); };
    // The window was closed: the program ends.
    std::function<void()> closed = [] { PostQuitMessage(0); };
};

class frmMain : public DialogWindow, public merge::RunUi {
public:
    // The controls' numbers: kFirstControl plus their place in
    // ui::main_window::kControls, which is the tab order.
    static constexpr int kFirstControl = 100;

    explicit frmMain(Seams seams = {});

    // Shows the window, not modal, with the focus in the target box.
    void show();
    HWND control(ui::main_window::Control which) const { return controls_[which]; }
    HWND tooltips() const { return tooltips_; }

    // merge::RunUi
    int showMessage(const std::string& text, int flags) override;
    void focusTarget() override;
    void focusSource() override;
    void setProgress(const std::string& caption) override;
    void showOutcome(const std::string& text, int flags) override;

private:
    void addTooltips();
    void layOut() override;
    void fit(ui::main_window::Control label);
    void browse(const char* title, ui::main_window::Control box);
    void cmdSpojSubory_Click();
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    Seams seams_;
    std::string initialFolder_;
    merge::KeyMaps keyMaps_;
    std::array<HWND, ui::main_window::kControlCount> controls_{};
    HWND tooltips_ = nullptr;
};

} // namespace win
