// The timed message box: standard message-box flags in, standard result codes
// out, Slovak button captions, a layout that follows the message, and an
// optional countdown in the bottom-right corner that closes the box with 2.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "dialogs/countdown.h"
#include "ui/msg_box_layout.h"

class QLabel;
class QPushButton;
class QTimer;

namespace dialogs {

class frmRuvMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit frmRuvMsgBox(QWidget* parent = nullptr);

    // Shows the box modally and returns the result code: the pressed button's,
    // or 2 when the countdown ran out or the window was closed otherwise.
    // timeoutSec of 0 or less: no countdown. One call per instance.
    int Ukaz(const QString& prompt, int buttons = 0, int timeoutSec = 0);

    // One step of the countdown; the timer runs it every second.
    void tick();

    // For tests: the timer (to stop it and tick by hand), the computed layout
    // in twips, the buttons of the row in order, the Esc button, the labels.
    QTimer* countdownTimer() const { return countdown_.timer(); }
    const ui::MsgBoxLayout& layoutTwips() const { return layout_; }
    const QList<QPushButton*>& rowButtons() const { return row_; }
    QPushButton* escapeButton() const;
    QPushButton* focusRuleButton() const;
    QLabel* promptLabel() const { return lblPrompt_; }
    QLabel* picture() const { return imgPicture_; }
    QLabel* countdownLabel() const { return countdown_.label(); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void load();
    void buildButtonRow();
    void chooseIcon();
    void layOut();
    void press(int resultCode);

    QString prompt_;
    int buttons_ = 0;
    int result_ = 2;
    bool activated_ = false;

    QLabel* lblPrompt_;
    QLabel* imgPicture_;
    Countdown countdown_;
    ui::ButtonRow buttonRow_;
    QList<QPushButton*> row_; // cmdButton, in the row's order
    ui::MsgBoxLayout layout_;
};

} // namespace dialogs
