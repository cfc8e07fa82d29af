// The file dialog of the two browse buttons, behind a seam: the window hands
// over what the dialog needs and gets back the chosen full path, or nothing
// when the user cancelled. The filters are the main window's (ui/forms.h).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "win/win32.h"

namespace win {

struct FileDialogRequest {
    std::string title;
    std::string fileName;      // preset: the text of the box, unchanged
    std::string initialFolder; // where the dialog starts unless fileName names a folder
};

using FileDialog = std::function<std::optional<std::string>(HWND owner, const FileDialogRequest&)>;

// The system's dialog for opening an existing file.
std::optional<std::string> openFileDialog(HWND owner, const FileDialogRequest& request);

// The folder that holds the program.
std::string programFolder();

} // namespace win
