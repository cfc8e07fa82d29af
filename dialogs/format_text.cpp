#include "dialogs/format_text.h"

#include "ui/line_breaks.h"

namespace dialogs {

QString FormatText(const QString& templateText, const QVariantList& values) {
    std::vector<std::optional<std::string>> texts;
    for (const QVariant& value : values) {
        if (value.isValid() && value.canConvert<QString>()) texts.push_back(value.toString().toStdString());
        else texts.push_back(std::nullopt);
    }
    return qText(ui::FormatText(templateText.toStdString(), texts));
}

QString displayText(const QString& text) { return qText(ui::lfLineBreaks(text.toStdString())); }

} // namespace dialogs
