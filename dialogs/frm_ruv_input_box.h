// The timed input box: one line of text under a prompt, OK and cancel, and an
// optional countdown that every change of the text starts again; running out
// of time counts as cancelling.
#pragma once

#include <QDialog>
#include <QString>

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
    QTimer* countdownTimer() const { return timTimeout_; }
    QLabel* countdownLabel() const { return lblTimeout_; }
    QLineEdit* editBox() const { return txtEdit_; }
    QPushButton* okButton() const { return cmdOk_; }
    QPushButton* cancelButton() const { return cmdCancel_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void textChanged();
    void placeCountdownLabel();

    QString result_;
    int timeoutSec_ = 0;
    int remaining_ = 0;

    QLabel* lblPrompt_;
    QLineEdit* txtEdit_;
    QPushButton* cmdOk_;
    QPushButton* cmdCancel_;
    QLabel* lblTimeout_;
    QTimer* timTimeout_;
};

} // namespace dialogs
