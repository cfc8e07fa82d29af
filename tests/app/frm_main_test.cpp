#include "app/frm_main.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/translation.h"
#include "dialogs/twips.h"
#include "tests/app/paint_log.h"
#include "tests/dialogs/qt_test_support.h"

using app::FileDialogRequest;
using app::frmMain;

namespace {

template <class W> W* child(QWidget& window, const char* name) {
    W* found = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A window whose file dialog is a script: it records each request and answers
// with the next of the given answers.
struct ScriptedBrowsing {
    QList<FileDialogRequest> requests;
    QList<std::optional<QString>> answers;

    app::Seams seams() {
        app::Seams s;
        s.fileDialog = [this](QWidget*, const FileDialogRequest& r) {
            requests.append(r);
            return answers.isEmpty() ? std::nullopt : answers.takeFirst();
        };
        s.messageBox = [](QWidget*, const QString&, int) { return 2; };
        s.outcomeBox = [](const QString&, int) {};
        return s;
    }
};

} // namespace

TEST(FrmMain, StartsEmptyWithTheFocusInTheTargetBox) {
    frmMain window(ScriptedBrowsing().seams());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Spojenie databáz"));
    EXPECT_EQ(child<QPushButton>(window, "cmdSpojSubory")->text(), QStringLiteral("Spoj súbory"));
    EXPECT_TRUE(child<QLineEdit>(window, "txtSpojenySubor")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(window, "txtPridatSubor")->text().isEmpty());
    EXPECT_TRUE(child<QLabel>(window, "lblLog")->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(window, "txtSpojenySubor"));
}

// A fixed window whose labels show their whole captions; where each box
// sits is the form's own figures, not repeated here.
TEST(FrmMain, FixedWindowWithWholeCaptions) {
    frmMain window(ScriptedBrowsing().seams());
    const dialogs::Twips tw(&window);
    EXPECT_EQ(window.size(), QSize(tw.toPixelsX(7125), tw.toPixelsY(1890)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()); // not resizable
    for (const char* name : {"l0", "l1"}) {
        QLabel* label = child<QLabel>(window, name);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
    }
    EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 8.25);
    EXPECT_EQ(window.font().family(), QStringLiteral("Arial"));
}

TEST(FrmMain, TabOrder) {
    frmMain window(ScriptedBrowsing().seams());
    QStringList order;
    QWidget* w = child<QLineEdit>(window, "txtSpojenySubor");
    for (int i = 0; i < 5; w = w->nextInFocusChain()) {
        if (w->focusPolicy() == Qt::NoFocus) continue;
        order << w->objectName();
        ++i;
    }
    EXPECT_EQ(order, QStringList({"txtSpojenySubor", "txtPridatSubor", "cmdSpojSubory", "cmdVolbaSpojenehoSuboru",
                                  "cmdVolbaNovehoSuboru"}));
}

TEST(FrmMain, BrowsingFillsTheBoxWithTheChosenPathAndCancelKeepsIt) {
    ScriptedBrowsing script;
    frmMain window(script.seams());
    auto* target = child<QLineEdit>(window, "txtSpojenySubor");
    auto* source = child<QLineEdit>(window, "txtPridatSubor");
    target->setText(QStringLiteral("  stary.mdb"));
    script.answers = {QStringLiteral("/data/server/ciel.mdb"), std::nullopt, QStringLiteral("/data/zdroj.mdb")};

    child<QPushButton>(window, "cmdVolbaSpojenehoSuboru")->click();
    EXPECT_EQ(target->text(), QStringLiteral("/data/server/ciel.mdb"));
    child<QPushButton>(window, "cmdVolbaSpojenehoSuboru")->click();
    EXPECT_EQ(target->text(), QStringLiteral("/data/server/ciel.mdb"));
    child<QPushButton>(window, "cmdVolbaNovehoSuboru")->click();
    EXPECT_EQ(source->text(), QStringLiteral("/data/zdroj.mdb"));
    EXPECT_EQ(target->text(), QStringLiteral("/data/server/ciel.mdb"));

    ASSERT_EQ(script.requests.size(), 3);
    const FileDialogRequest& first = script.requests[0];
    EXPECT_EQ(first.title, QStringLiteral("Výsledný súbor"));
    EXPECT_EQ(first.fileName, QStringLiteral("  stary.mdb")); // the box's text, unchanged
    EXPECT_EQ(first.initialFolder, QCoreApplication::applicationDirPath());
    EXPECT_EQ(first.filters, QStringList({"Databázové súbory(*.mdb)", "Všetky súbory(*.*)"}));
    EXPECT_EQ(script.requests[1].fileName, QStringLiteral("/data/server/ciel.mdb"));
    EXPECT_EQ(script.requests[2].title, QStringLiteral("Pridaný súbor"));
    EXPECT_EQ(script.requests[2].fileName, QString());
}

TEST(FrmMain, ProgressCaptionPaintsAtOnce) {
    frmMain window(ScriptedBrowsing().seams());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    QLabel* log = child<QLabel>(window, "lblLog");
    testing_qt::PaintLog paints;
    log->installEventFilter(&paints);
    window.setProgress("pozadovane_casove_zony_identifikatorov_na_zariadeniach");
    window.setProgress("ref_skupina_zariadenie");
    // No event loop ran in between: both captions were painted synchronously.
    EXPECT_EQ(paints.captions,
              QStringList({"pozadovane_casove_zony_identifikatorov_na_zariadeniach", "ref_skupina_zariadenie"}));
    EXPECT_GE(log->width(), log->fontMetrics().horizontalAdvance(log->text()));
    log->removeEventFilter(&paints);

    // A shorter caption, and the empty one, wipe the tail of the longer one
    // before them at once.
    for (const char* caption : {"zvuky", ""}) {
        const QRect before = log->geometry();
        testing_qt::PaintRegions windowPaints;
        window.installEventFilter(&windowPaints);
        window.setProgress(caption);
        window.removeEventFilter(&windowPaints);
        ASSERT_EQ(windowPaints.regions.size(), 1) << caption;
        EXPECT_TRUE(windowPaints.regions[0].contains(before)) << caption;
        EXPECT_EQ(log->text(), QString::fromUtf8(caption));
    }
}

TEST(FileDialog, StartsInTheFolderThePresetNameNames) {
    const QString home = QStringLiteral("/opt/velmorant/bin");
    EXPECT_EQ(app::startFolder({"t", "", home, {}}), home);
    EXPECT_EQ(app::startFolder({"t", "ciel.mdb", home, {}}), home);
    EXPECT_EQ(app::startFolder({"t", "/srv/data/ciel.mdb", home, {}}), QStringLiteral("/srv/data"));
    EXPECT_EQ(app::startFolder({"t", "zaloha/ciel.mdb", home, {}}), home + QStringLiteral("/zaloha"));
}

namespace {

// The names the dialog's file list shows under the chosen filter.
QStringList listedNames(QFileDialog* dialog) {
    auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (list == nullptr) return names;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
        const QModelIndex at = model->index(row, 0, list->rootIndex());
        if (model->flags(at) & Qt::ItemIsEnabled) names << at.data().toString();
    }
    names.sort();
    return names;
}

} // namespace

TEST(FileDialog, EveryFileFilterShowsNamesWithoutADot) {
    const QTemporaryDir folder;
    for (const char* name : {"ciel.mdb", "zaloha", "poznamky.txt"})
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    const QStringList filters = {QStringLiteral("Databázové súbory(*.mdb)"), QStringLiteral("Všetky súbory(*.*)")};
    testing_qt::whenShown<QFileDialog>([](QFileDialog* dialog) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return listedNames(dialog) == QStringList({"ciel.mdb"}); }))
            << listedNames(dialog).join(' ').toStdString();
        // The user picks the second filter.
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);
        EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Všetky súbory(*.*)"));
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return listedNames(dialog) == QStringList({"ciel.mdb", "poznamky.txt", "zaloha"});
        })) << listedNames(dialog).join(' ').toStdString();
        dialog->reject();
    });
    EXPECT_EQ(app::openFileDialog(nullptr, {"t", "", folder.path(), filters}), std::nullopt);
}

TEST(Translation, QtSpeaksSlovak) {
    ASSERT_TRUE(app::installSlovakTranslation(*QCoreApplication::instance()));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}
