#include "win/file_dialog.h"

#include <vector>

#include "ui/forms.h"

namespace win {

namespace {

// "description\0pattern\0...\0\0", the first one selected.
std::wstring filterList() {
    std::wstring list;
    for (const ui::main_window::FileFilter& filter : ui::main_window::kFileFilters) {
        list += widen(filter.description) + L'\0';
        list += widen(filter.pattern) + L'\0';
    }
    return list + L'\0';
}

} // namespace

std::optional<std::string> openFileDialog(HWND owner, const FileDialogRequest& request) {
    const std::wstring title = widen(request.title), folder = widen(request.initialFolder), filters = filterList();
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring preset = widen(request.fileName);
    preset.copy(file.data(), std::min(preset.size(), file.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return narrow(file.data());
}

std::string programFolder() {
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    std::wstring folder(path.data(), n);
    return narrow(folder.substr(0, folder.find_last_of(L"\\/")));
}

} // namespace win
