// The main window with its file dialog and message boxes answered by script,
// and runs clicked through it on copies of the fixture databases.
#include "app/frm_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <memory>

#include "app/translation.h"
#include "support/qt_test_support.h"
#include "tests/support/process.h"

namespace {

// The captions a widget paints. While a run holds the window thread no
// events are handled, so only a repaint forced by a caption change can paint.
class Paints : public QObject {
public:
    QStringList captions;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) captions << watched->property("text").toString();
        return false;
    }
};

struct Shown {
    QString text;
    int flags;
    QString focus; // a message: the box with the focus; an outcome: lblLog's caption
};

class FrmMain : public ::testing::Test {
protected:
    void SetUp() override {
        app::Seams seams;
        seams.fileDialog = [this](QWidget*, const app::FileDialogRequest& r) {
            requests_.append(r);
            return chosen_.isEmpty() ? std::nullopt : chosen_.takeFirst();
        };
        seams.messageBox = [this](QWidget* parent, const QString& text, int flags) {
            QWidget* focus = parent->focusWidget();
            messages_.append({text, flags, focus ? focus->objectName() : QString()});
            return answers_.isEmpty() ? 2 : answers_.takeFirst();
        };
        seams.outcomeBox = [this](const QString& text, int flags) { outcomes_.append({text, flags, log()->text()}); };
        window_ = std::make_unique<app::frmMain>(seams);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    template <class W = QWidget> W* child(const char* name) {
        W* found = window_->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLabel* log() { return child<QLabel>("lblLog"); }

    QString fixture(const char* name, const QString& as) {
        const QString path = dir_.filePath(as);
        QFile::copy(QStringLiteral(VELMORANT_TEST_DATA "/") + name, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    void click(const QString& target, const QString& source) {
        child<QLineEdit>("txtSpojenySubor")->setText(target);
        child<QLineEdit>("txtPridatSubor")->setText(source);
        child("txtPridatSubor")->setFocus(); // away from where a message would put it
        child<QPushButton>("cmdSpojSubory")->click();
    }

    QTemporaryDir dir_;
    std::unique_ptr<app::frmMain> window_;
    QList<app::FileDialogRequest> requests_;
    QList<std::optional<QString>> chosen_; // the file dialog's answers
    QList<int> answers_;                   // the message boxes'
    QList<Shown> messages_, outcomes_;
};

} // namespace

TEST_F(FrmMain, SlovakTextsFocusAndTabOrder) {
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Spojenie databáz"));
    for (const auto& [name, text] :
         {std::pair{"l0", "Spojený súbor"}, std::pair{"l1", "Pridať súbor"}, std::pair{"cmdSpojSubory", "Spoj súbory"}})
        EXPECT_EQ(child(name)->property("text").toString(), QString::fromUtf8(text));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize()); // not resizable

    QStringList order;
    for (QWidget* w = QApplication::focusWidget(); w && order.size() < 5; w = w->nextInFocusChain())
        if (w->focusPolicy() != Qt::NoFocus) order << w->objectName();
    EXPECT_EQ(order, QStringList({"txtSpojenySubor", "txtPridatSubor", "cmdSpojSubory", "cmdVolbaSpojenehoSuboru",
                                  "cmdVolbaNovehoSuboru"}));

    // Centred by the outer frame.
    const QRect screen = window_->screen()->geometry(), frame = window_->frameGeometry();
    EXPECT_GT(frame.width(), window_->width());
    EXPECT_LE(std::abs((frame.left() - screen.left()) - (screen.right() - frame.right())), 1);
    EXPECT_LE(std::abs((frame.top() - screen.top()) - (screen.bottom() - frame.bottom())), 1);
}

TEST_F(FrmMain, BrowsingFillsTheBoxWithTheChosenPathAndCancelKeepsIt) {
    auto* target = child<QLineEdit>("txtSpojenySubor");
    target->setText(QStringLiteral("  stary.mdb"));
    chosen_ = {QStringLiteral("/data/ciel.mdb"), std::nullopt, QStringLiteral("/data/zdroj.mdb")};
    child<QPushButton>("cmdVolbaSpojenehoSuboru")->click();
    // Enter and Space press the button that has the focus.
    child("cmdVolbaSpojenehoSuboru")->setFocus();
    QTest::keyClick(child("cmdVolbaSpojenehoSuboru"), Qt::Key_Return);
    child("cmdVolbaNovehoSuboru")->setFocus();
    QTest::keyClick(child("cmdVolbaNovehoSuboru"), Qt::Key_Space);
    EXPECT_EQ(target->text(), QStringLiteral("/data/ciel.mdb"));
    EXPECT_EQ(child<QLineEdit>("txtPridatSubor")->text(), QStringLiteral("/data/zdroj.mdb"));

    ASSERT_EQ(requests_.size(), 3);
    EXPECT_EQ(requests_[0].title, QStringLiteral("Výsledný súbor"));
    EXPECT_EQ(requests_[0].fileName, QStringLiteral("  stary.mdb")); // the box's text, unchanged
    EXPECT_EQ(requests_[0].initialFolder, QCoreApplication::applicationDirPath());
    EXPECT_EQ(requests_[0].filters, QStringList({"Databázové súbory(*.mdb)", "Všetky súbory(*.*)"}));
    EXPECT_EQ(requests_[1].fileName, QStringLiteral("/data/ciel.mdb"));
    EXPECT_EQ(requests_[2].title, QStringLiteral("Pridaný súbor"));
}

// Runs in the window and on the command line each leave one entry with the
// counts their outcome showed; a record that cannot be written changes
// neither an outcome nor an exit status. A run in the window paints the name
// of each step's table as it goes.
TEST_F(FrmMain, EveryRunLeavesOneEntryInTheRecord) {
    const QString state = dir_.filePath(QStringLiteral("stav"));
    qputenv("XDG_STATE_HOME", state.toUtf8());
    const QString narrow = fixture("narrow.mdb", QStringLiteral("úzky.mdb"));
    const QString sample = fixture("sample.mdb", QStringLiteral("vzorka.mdb"));
    const QString blank = fixture("blank.mdb", QStringLiteral("prázdny.mdb"));
    const auto quoted = [](const QString& path) { return test_files::quoted(test_files::pathOf(path.toStdString())); };
    const std::string pair = quoted(narrow) + " " + quoted(sample);
    answers_ = {6, 7};
    Paints paints;
    log()->installEventFilter(&paints);
    click(sample, blank); // nothing to copy: success
    log()->removeEventFilter(&paints);
    ASSERT_EQ(outcomes_.size(), 1);
    EXPECT_EQ(outcomes_[0].text, QStringLiteral("Import bol úspešný"));
    EXPECT_EQ(outcomes_[0].flags, 64);
    EXPECT_EQ(outcomes_[0].focus, QString()); // lblLog was emptied before the outcome came
    paints.captions.removeDuplicates();
    ASSERT_EQ(paints.captions.size(), 27);
    EXPECT_EQ(paints.captions.first(), QStringLiteral("zariadenia"));
    EXPECT_EQ(paints.captions.indexOf("objednavaci_system"), 13);
    EXPECT_EQ(paints.captions.last(), QStringLiteral("downloadovane_releidentifikatory"));
    const test_files::ProgramRun lossy = test_files::cli("merge " + pair + " --yes");
    const test_files::ProgramRun trial = test_files::cli("merge " + pair + " --dry-run");
    click(sample, blank); // answered No
    EXPECT_EQ(std::tie(lossy.exit, lossy.err), std::make_tuple(1, std::string()));

    QFile record(state + QStringLiteral("/velmorant/importy.log"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QStringList entries = QString::fromUtf8(record.readAll()).split(QStringLiteral("\n=== "));
    ASSERT_EQ(entries.size(), 4);
    for (const auto& [i, part] : {std::pair{0, "\n  zariadenia 0/0/0\n"},
                                  {0, "\nVýsledok:\n  Import bol úspešný\n"},
                                  {1, "Skúšobný beh: nie"},
                                  {2, "Skúšobný beh: áno"},
                                  {3, "\nOdpoveď na otázku: Nie\nKroky: žiadne\n"},
                                  {3, "Nebola žiadosť o importovanie"}})
        EXPECT_TRUE(entries[i].contains(QString::fromUtf8(part))) << i << ": " << part;
    EXPECT_TRUE(entries[0].contains(QStringLiteral("Cieľ: ") + sample + QStringLiteral(" (")));
    for (int i : {1, 2}) {
        // Each step's counts and the outcome's lines as the program printed them.
        static const QRegularExpression counts(QStringLiteral("^(\\w+) copied=(\\d+) skipped=(\\d+) refused=(\\d+)$"));
        int steps = 0;
        for (const QString& line : QString::fromStdString((i == 1 ? lossy : trial).out).split('\n')) {
            const QRegularExpressionMatch step = counts.match(line);
            steps += step.hasMatch();
            if (steps == 0 || line.isEmpty()) continue; // the question and the tables' names
            const QString want = step.hasMatch()
                                     ? QStringLiteral("\n  %1 %2/%3/%4\n")
                                           .arg(step.captured(1), step.captured(2), step.captured(3), step.captured(4))
                                     : QStringLiteral("\n  ") + line + '\n';
            EXPECT_TRUE(entries[i].contains(want)) << i << ": " << want.toStdString();
        }
        EXPECT_EQ(steps, 27) << i;
        EXPECT_TRUE(entries[i].contains(QStringLiteral("\nPrázdne polia:\n  zariadenia.kontaktna_osoba: "))) << i;
    }

    // The state folder cannot be made: the runs go as before.
    qputenv("XDG_STATE_HOME", (blank + QStringLiteral("/stav")).toUtf8());
    const test_files::ProgramRun blocked = test_files::cli("merge " + quoted(sample) + " " + quoted(blank) + " --yes");
    EXPECT_EQ(blocked.exit, 0);
    EXPECT_NE(blocked.out.find("Import bol úspešný\n"), std::string::npos) << blocked.out;
    EXPECT_NE(blocked.err.find("Záznam o spojení sa nepodarilo zapísať do súboru "), std::string::npos) << blocked.err;
    answers_ = {7};
    click(sample, blank);
    ASSERT_EQ(outcomes_.size(), 3);
    EXPECT_EQ(outcomes_[2].text, outcomes_[1].text);
}

TEST(Translation, QtSpeaksSlovak) {
    ASSERT_TRUE(app::installSlovakTranslation(*QCoreApplication::instance()));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}
