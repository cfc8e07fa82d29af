// Runs clicked through the main window on copies of the fixture databases,
// with the message boxes answered by script. The texts of every refusal, and
// that any answer but Yes writes nothing, are pinned by the tests of the
// run's frame; here the window's part: focus, progress caption and outcome.
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/frm_main.h"
#include "tests/app/paint_log.h"
#include "tests/dialogs/qt_test_support.h"

namespace {

const QString kTargetMissing = QStringLiteral("Neexistuje súbor, do ktorého má byť vykonané importovanie");
const QString kSourceMissing = QStringLiteral("Neexistuje súbor ktorý má byť importovaný");

struct Shown {
    QString text;
    int flags;
    QString focus; // the box that had the focus when the message came
};

class ImportClicks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        app::Seams seams;
        seams.fileDialog = [](QWidget*, const app::FileDialogRequest&) { return std::nullopt; };
        seams.messageBox = [this](QWidget* parent, const QString& text, int flags) {
            QWidget* focus = parent->focusWidget();
            messages_.append({text, flags, focus ? focus->objectName() : QString()});
            return answers_.isEmpty() ? 2 : answers_.takeFirst();
        };
        seams.outcomeBox = [this](const QString& text, int flags) { outcomes_.append({text, flags, log()->text()}); };
        window_ = std::make_unique<app::frmMain>(seams);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    QString fixture(const char* name, const QString& as) {
        const QString path = dir_.filePath(as);
        QFile::copy(QStringLiteral(VELMORANT_TEST_DATA "/") + name, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    void click(const QString& target, const QString& source) {
        window_->findChild<QLineEdit*>("txtSpojenySubor")->setText(target);
        window_->findChild<QLineEdit*>("txtPridatSubor")->setText(source);
        window_->findChild<QLineEdit*>("txtPridatSubor")->setFocus(); // away from where a message would put it
        window_->findChild<QPushButton*>("cmdSpojSubory")->click();
    }

    QLabel* log() { return window_->findChild<QLabel*>("lblLog"); }

    QTemporaryDir dir_;
    std::unique_ptr<app::frmMain> window_;
    QList<int> answers_;
    QList<Shown> messages_; // standard message boxes
    QList<Shown> outcomes_; // the timed outcome box; focus holds lblLog's caption
};

} // namespace

TEST_F(ImportClicks, MissingFilesAreReportedWithTheFocusOnTheirBox) {
    click("", "");
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0].text, kTargetMissing);
    EXPECT_EQ(messages_[0].flags, 48);
    EXPECT_EQ(messages_[0].focus, QStringLiteral("txtSpojenySubor"));

    const QString target = fixture("blank.mdb", "ciel.mdb");
    click(target, dir_.filePath("nie-je.mdb"));
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_EQ(messages_[1].text, kSourceMissing);
    EXPECT_EQ(messages_[1].focus, QStringLiteral("txtPridatSubor"));

    click(dir_.path(), target); // a folder is no file
    ASSERT_EQ(messages_.size(), 3);
    EXPECT_EQ(messages_[2].text, kTargetMissing);
    EXPECT_TRUE(outcomes_.isEmpty());
    EXPECT_TRUE(log()->text().isEmpty());
}

TEST_F(ImportClicks, ConfirmedRunShowsEachTableAndEndsWithSuccess) {
    const QString target = fixture("sample.mdb", "ciel.mdb");
    const QString source = fixture("blank.mdb", "zdroj.mdb");
    testing_qt::PaintLog paints;
    log()->installEventFilter(&paints);
    answers_ = {6};
    click(target, source);
    log()->removeEventFilter(&paints);

    ASSERT_EQ(outcomes_.size(), 1);
    EXPECT_EQ(outcomes_[0].text, QStringLiteral("Import bol úspešný"));
    EXPECT_EQ(outcomes_[0].flags, 64);
    EXPECT_EQ(outcomes_[0].focus, QString()); // lblLog was empty when the outcome came
    EXPECT_TRUE(log()->text().isEmpty());

    // Each of the 27 steps painted its table name, in step order.
    paints.captions.removeDuplicates();
    ASSERT_EQ(paints.captions.size(), 27);
    EXPECT_EQ(paints.captions.first(), QStringLiteral("zariadenia"));
    EXPECT_EQ(paints.captions.indexOf("objednavaci_system"), 13);
    EXPECT_EQ(paints.captions.last(), QStringLiteral("downloadovane_releidentifikatory"));
}
