// The shared texts (ui/texts.h) as Qt strings.
#pragma once

#include <QString>
#include <QVariantList>
#include <string>

#include "ui/texts.h"

namespace dialogs {

inline QString qText(const std::string& utf8) { return QString::fromStdString(utf8); }

inline QString applicationTitle() { return qText(ui::kApplicationTitle); }

// ui::FormatText over Qt values; a value that is no text leaves its placeholder.
QString FormatText(const QString& templateText, const QVariantList& values = {});

// A message as a label shows it: lines broken at LF.
QString displayText(const QString& text);

} // namespace dialogs
