// The caption formatter: trims the template, turns "~@" into a line break and
// fills the numbered placeholders "1~!", "2~!", ... with the given values.
#pragma once

#include <QString>
#include <QVariantList>

namespace dialogs {

QString FormatText(const QString& templateText, const QVariantList& values = {});

// The text without the spaces at either end (other white space stays).
QString trimSpaces(const QString& text);

// A message as a label shows it: lines broken at LF (lfLineBreaks).
QString displayText(const QString& text);

} // namespace dialogs
