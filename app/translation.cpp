#include "app/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

bool installSlovakTranslation(QCoreApplication& application) {
    const QLocale slovak(QLocale::Slovak, QLocale::Slovakia);
    QLocale::setDefault(slovak);
    auto* translator = new QTranslator(&application);
    if (!translator->load(slovak, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace app
