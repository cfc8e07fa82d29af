#include <QApplication>

#include "app/module1.h"
#include "app/translation.h"
#include "dialogs/app_title.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(dialogs::applicationTitle());
    app::installSlovakTranslation(application);
    app::Module1::Main();
    return QApplication::exec();
}
