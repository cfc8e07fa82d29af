#include "app/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "dialogs/button_captions.h"

namespace app {

namespace {
bool namesFolder(const QString& fileName) {
    return fileName.contains(u'/') || fileName.contains(u'\\');
}
} // namespace

QString startFolder(const FileDialogRequest& request) {
    if (!namesFolder(request.fileName)) return request.initialFolder;
    return QFileInfo(QDir(request.initialFolder), QDir::fromNativeSeparators(request.fileName)).absolutePath();
}

std::optional<QString> openFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.title, startFolder(request));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's Slovak translation leaves this one button in English.
    dialog.setLabelText(QFileDialog::Reject, dialogs::buttonCaption(2));
    dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 460)));
    dialog.setNameFilters(request.filters);
    if (!request.filters.isEmpty()) dialog.selectNameFilter(request.filters.first());
    if (!request.fileName.isEmpty())
        dialog.selectFile(QFileInfo(QDir::fromNativeSeparators(request.fileName)).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

} // namespace app
