// Writes PNG pictures of the main window, the file dialog, the confirmation
// question and the outcome box into the folder given as the only argument, for a look by eye.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "app/file_dialog.h"
#include "app/frm_main.h"
#include "app/standard_msg_box.h"
#include "app/translation.h"
#include "dialogs/frm_ruv_msg_box.h"

namespace {

bool save(QWidget* widget, const QString& path) {
    const bool ok = widget->grab().save(path);
    qInfo("%s %s", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::installSlovakTranslation(application);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    bool ok = true;

    app::frmMain window;
    window.findChild<QLineEdit*>("txtSpojenySubor")->setText("/srv/kontrola/server.mdb");
    window.findChild<QLineEdit*>("txtPridatSubor")->setText("/srv/kontrola/pobocka.mdb");
    window.show();
    window.findChild<QLabel*>("lblLog")->setText("skupiny_majitelov_identifikatorov");
    window.findChild<QLabel*>("lblLog")->adjustSize();
    QApplication::processEvents();
    ok &= save(&window, out.filePath("main-window.png"));

    const auto question = app::makeStandardMessageBox(
        &window, "Želáte si importovať súbor\r\n/srv/kontrola/pobocka.mdb\r\ndo súboru\r\n/srv/kontrola/server.mdb",
        291);
    question->show();
    QApplication::processEvents();
    ok &= save(question.get(), out.filePath("question.png"));
    question->hide();

    // The file dialog of the target's browse button, as the window opens it.
    QTimer::singleShot(500, [&ok, &out] {
        QWidget* dialog = QApplication::activeModalWidget();
        ok &= dialog && save(dialog, out.filePath("file-dialog.png"));
        if (dialog) dialog->close();
    });
    app::openFileDialog(&window, {"Výsledný súbor",
                                  "server.mdb",
                                  QCoreApplication::applicationDirPath(),
                                  {"Databázové súbory(*.mdb)", "Všetky súbory(*.*)"}});

    for (const auto& [name, text, flags] :
         {std::tuple{"outcome-success.png", QString("Import bol úspešný"), 64},
          std::tuple{"outcome-version.png",
                     QString("Nekorektná verzia databázy:Tarvexon 3.161\r\n\r\nMá byť:Tarvexon 3.162\r\n"
                             "/srv/kontrola/server.mdb\r\n\r\nSkúste upgradovať databázový súbor, prípadne "
                             "používať inú verziu tejto aplikácie"),
                     48},
          std::tuple{"msgbox-yes-no-cancel.png", QString("Pokračovať?"), 3 + 32}}) {
        dialogs::frmRuvMsgBox box;
        QTimer::singleShot(200, &box, [&box, &ok, &out, name = QString(name)] {
            ok &= save(&box, out.filePath(name));
            box.close();
        });
        box.Ukaz(text, flags, 25);
    }
    return ok ? 0 : 1;
}
