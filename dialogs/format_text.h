// The caption formatter: trims the template, turns "~@" into a line break and
// fills the numbered placeholders "1~!", "2~!", ... with the given values.
#pragma once

#include <QString>
#include <QVariantList>

namespace dialogs {

QString FormatText(const QString& templateText, const QVariantList& values = {});

} // namespace dialogs
