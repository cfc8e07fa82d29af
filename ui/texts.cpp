#include "ui/texts.h"

#include "ui/msg_box_flags.h"

namespace ui {

namespace {

void replaceAll(std::string* text, const std::string& what, const std::string& with) {
    for (std::size_t at = 0; (at = text->find(what, at)) != std::string::npos; at += with.size())
        text->replace(at, what.size(), with);
}

} // namespace

std::string buttonCaption(int resultCode) {
    switch (resultCode) {
    case mb::ResultOk: return "OK";
    case mb::ResultCancel: return "Zrušiť";
    case mb::ResultAbort: return "&Prerušiť";
    case mb::ResultRetry: return "&Znova";
    case mb::ResultIgnore: return "&Ignorovať";
    case mb::ResultYes: return "&Ano";
    case mb::ResultNo: return "&Nie";
    default: return "";
    }
}

std::string standardButtonCaption(int resultCode) {
    return resultCode == mb::ResultYes ? "&Áno" : buttonCaption(resultCode);
}

std::string trimSpaces(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

std::string FormatText(const std::string& templateText, const std::vector<std::optional<std::string>>& values) {
    // Apostrophes pass through unchanged; a backtick of the template becomes one.
    std::string text = templateText;
    replaceAll(&text, "'", "`");
    text = trimSpaces(text);
    if (text.empty()) return text;
    replaceAll(&text, "`", "'");
    replaceAll(&text, "~@", "\r\n");
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i]) replaceAll(&text, std::to_string(i + 1) + "~!", *values[i]);
    return text;
}

} // namespace ui
