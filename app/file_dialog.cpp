#include "app/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>

#include "dialogs/format_text.h"
#include "ui/msg_box_flags.h"

namespace app {

namespace {

bool namesFolder(const QString& fileName) { return fileName.contains(u'/') || fileName.contains(u'\\'); }

// To a Windows user a filter's "*.*" means every file; Qt takes it literally
// and hides names without a dot. The filter keeps its text, the file list
// gets "*" in its place whenever a filter is chosen.
void starDotStarMatchesEveryFile(QFileDialog& dialog) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (model == nullptr) return; // no file list of Qt's own
    const auto widen = [model] {
        QStringList patterns = model->nameFilters();
        if (!patterns.contains(QStringLiteral("*.*"))) return;
        for (QString& pattern : patterns)
            if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        model->setNameFilters(patterns);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, model, widen);
    widen();
}

} // namespace

QString startFolder(const FileDialogRequest& request) {
    if (!namesFolder(request.fileName)) return request.initialFolder;
    return QFileInfo(QDir(request.initialFolder), QDir::fromNativeSeparators(request.fileName)).absolutePath();
}

std::optional<QString> openFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.title, startFolder(request));
    // Qt's own dialog on every desktop: its file list is the one whose
    // patterns can be mended (see above).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's Slovak translation leaves this one button in English.
    dialog.setLabelText(QFileDialog::Reject, dialogs::qText(ui::buttonCaption(ui::mb::ResultCancel)));
    dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 460)));
    dialog.setNameFilters(request.filters);
    if (!request.filters.isEmpty()) dialog.selectNameFilter(request.filters.first());
    starDotStarMatchesEveryFile(dialog);
    if (!request.fileName.isEmpty())
        dialog.selectFile(QFileInfo(QDir::fromNativeSeparators(request.fileName)).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

} // namespace app
