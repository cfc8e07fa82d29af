// The timed input box: one line of text under a prompt, OK and cancel, and an
// optional countdown that every change of the text starts again; running out
// of time counts as cancelling.
#pragma once

#include <QDialog>
#include <QString>

#include "dialogs/countdown.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace dialogs {

class frmRuvInputBox : public QDialog {
    Q_OBJECT
public:
    explicit frmRuvInputBox(QWidget* parent = nullptr);

    // Shows the box modally; returns the text confirmed with OK, or the empty
    // text when the box was cancelled, ran out of time or was closed.
    // A blank title stands for the application title; timeoutSec of 0 or
    // less: no countdown. One call per instance.
    QString Ukaz(const QString& prompt, const QString& title, const QString& defaultText, int timeoutSec);

    // One step of the countdown; the timer runs it every second.
    void tick();

    // For tests.
    QTimer* countdownTimer() const { return countdown_.timer(); }
    QLabel* countdownLabel() const { return countdown_.label(); }
    QLineEdit* editBox() const { return txtEdit_; }
    QPushButton* okButton() const { return cmdOk_; }
    QPushButton* cancelButton() const { return cmdCancel_; }

private:
    void textChanged();

    QString result_;

    QLabel* lblPrompt_;
    QLineEdit* txtEdit_;
    QPushButton* cmdOk_;
    QPushButton* cmdCancel_;
    Countdown countdown_;
};

} // namespace dialogs
