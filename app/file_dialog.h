// The file dialog of the two browse buttons, behind a seam: the window hands
// over what the dialog needs and gets back the chosen full path, or nothing
// when the user cancelled.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace app {

struct FileDialogRequest {
    QString title;
    QString fileName;      // preset: the text of the box, unchanged
    QString initialFolder; // where the dialog starts unless fileName names a folder
    QStringList filters;   // the first one is selected
};

using FileDialog = std::function<std::optional<QString>(QWidget* parent, const FileDialogRequest&)>;

// The folder the dialog opens: the one fileName names (relative to the
// initial folder when it is relative), else the initial folder.
QString startFolder(const FileDialogRequest& request);

// The platform's dialog for opening an existing file.
std::optional<QString> openFileDialog(QWidget* parent, const FileDialogRequest& request);

} // namespace app
