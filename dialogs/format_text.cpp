#include "dialogs/format_text.h"

#include "dialogs/line_breaks.h"

namespace dialogs {

QString trimSpaces(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ') ++begin;
    while (end > begin && text[end - 1] == u' ') --end;
    return text.mid(begin, end - begin);
}

QString FormatText(const QString& templateText, const QVariantList& values) {
    // Apostrophes pass through unchanged; a backtick of the template becomes one.
    QString text = trimSpaces(QString(templateText).replace(u'\'', u'`'));
    if (text.isEmpty()) return text;
    text.replace(u'`', u'\'');
    text.replace(QStringLiteral("~@"), QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant& value = values[i];
        if (!value.isValid() || !value.canConvert<QString>()) continue;
        text.replace(QString::number(i + 1) + QStringLiteral("~!"), value.toString());
    }
    return text;
}

QString displayText(const QString& text) { return QString::fromStdString(lfLineBreaks(text.toStdString())); }

} // namespace dialogs
