// The standard message box, driven by the standard message-box flags: the
// application title, the icon and buttons the flags name, the default button,
// and the result code of the button chosen. Esc and the close box answer
// Cancel where the box has it, the only button where it has one.
#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace app {

std::unique_ptr<QMessageBox> makeStandardMessageBox(QWidget* parent, const QString& text, int flags);

// The result code of the button the user chose in a box made above.
int standardResult(const QMessageBox& box);

// Makes the box, shows it modally and returns the result code.
int showStandardMessage(QWidget* parent, const QString& text, int flags);

} // namespace app
