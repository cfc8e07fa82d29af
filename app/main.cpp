#include <QApplication>
#include <QIcon>

#include "app/module1.h"
#include "app/translation.h"
#include "dialogs/format_text.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(dialogs::applicationTitle());
    QApplication::setApplicationVersion(QStringLiteral(VELMORANT_VERSION));
    // The desktop entry and the icon an installed program finds.
    QApplication::setDesktopFileName(QStringLiteral(VELMORANT_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VELMORANT_APP_ID)));
    app::installSlovakTranslation(application);
    app::Module1::Main();
    return QApplication::exec();
}
