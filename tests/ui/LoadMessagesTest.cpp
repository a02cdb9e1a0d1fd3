// What the desktop program says of a modder's scenario as it opens: one message listing the
// file's problems, shown in the program's own dialogs, never one box after another. And what
// it says of its folders: a game folder with nothing to play, a user folder that takes no
// files, preferences that could not be kept.

#include "GameFixture.h"
#include "scenario/GameStart.h"
#include "ui/ChartView.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <fstream>

using namespace tarnwake;
using ui::TfrmMain;

namespace {

std::filesystem::path BadFile(const std::string& name) {
    const auto source = std::filesystem::canonical(tarnwake::testing::UiGameDir()).parent_path();
    return source / "tests" / "fixtures" / "bad" / name;
}

// A window with the real message boxes; each box that opens is read and closed.
struct TWatchedWindow {
    QTemporaryDir userDir;
    core::TGameFolders folders{tarnwake::testing::UiGameDir(), userDir.path().toStdString()};
    TfrmMain window;
    QStringList texts;
    QList<QSize> sizes;

    TWatchedWindow() {
        window.SetServices(folders, 1);
        window.resize(1000, 700);
        window.show();
    }

    // Puts a bad file in Custom Files, as a modder does, and opens it by its game name.
    bool OpenCustom(const std::string& name) {
        std::filesystem::create_directories(folders.CustomFilesDir());
        std::filesystem::copy_file(BadFile(name), folders.CustomFilesDir() / name);
        const auto file = scenario::FindScenario(folders, "Custom Files/" + name);
        if (!file) {
            return false;
        }
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [this] { CloseBox(); });
        watch.start(20);
        const bool opened = window.OpenScenario(*file, 0);
        watch.stop();
        return opened;
    }

    void CloseBox() {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            return;
        }
        if (auto* message = qobject_cast<QMessageBox*>(box)) {
            texts << message->text();
        } else if (auto* pane = box->findChild<QPlainTextEdit*>("messageText")) {
            texts << pane->toPlainText();
        } else {
            texts << box->objectName();
        }
        sizes << box->frameGeometry().size();
        qobject_cast<QDialog*>(box)->accept();
    }
};

} // namespace

class LoadMessagesTest : public QObject {
    Q_OBJECT
private slots:
    void aModdersScenarioWithManyProblemsShowsThemInOneMessage() {
        TWatchedWindow w;
        QVERIFY(w.OpenCustom("AbsurdValues.nsc"));
        QCOMPARE(w.texts.size(), 1);
        const QString& text = w.texts.front();
        for (const char* fragment : {"[Division0] Course=9999 is outside 0..359; 12 used",
                                     "[Division0] Role=9 is outside 0..5; 0 used",
                                     "[Division0] Ship0EngineDamage=-5 is outside 0..100; 0 used",
                                     "[Division1] Speed=fast is not a whole number; 12 used"}) {
            QVERIFY2(text.contains(fragment), qPrintable(fragment + QString("\n") + text));
        }
        QVERIFY(w.window.World() != nullptr);
    }

    void aScenarioThatCannotBePlayedSaysEveryReasonInOneMessageThatFitsTheScreen() {
        TWatchedWindow w;
        QVERIFY(!w.OpenCustom("NoSides.nsc"));
        QCOMPARE(w.texts.size(), 1);
        QVERIFY(w.texts.front().contains("there is no [Side0] section"));
        QVERIFY(w.texts.front().contains("there is no [Side1] section"));
        QVERIFY(w.texts.front().contains("cannot be played"));
        QCOMPARE(w.window.World(), nullptr);
        const QSize screen = QApplication::primaryScreen()->availableGeometry().size();
        QVERIFY(w.sizes.front().height() <= screen.height());
        QVERIFY(w.sizes.front().width() <= screen.width());
    }

    void inPlayEachMessageIsShownAtOnce() {
        TWatchedWindow w;
        QVERIFY(w.OpenCustom("OnLand.nsc"));
        w.texts.clear();
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&w] { w.CloseBox(); });
        watch.start(20);
        w.window.World()->Messages().Inform("Ship is under AI control!");
        watch.stop();
        QCOMPARE(w.texts, QStringList{"Ship is under AI control!"});
    }

    void anEmptyGameFolderIsSaidAndTheEmptyChartSaysWhy() {
        QTemporaryDir empty;
        QTemporaryDir user;
        core::THeadlessMessages messages(nullptr);
        TfrmMain window;
        window.SetMessages(&messages);
        window.SetServices(
            core::TGameFolders(empty.path().toStdString() + "/nowhere", user.path().toStdString()));
        QVERIFY(!window.OpenFirstScenario("Scenarios/Dogger Bank.nsc", 0));
        QCOMPARE(messages.Shown().size(), std::size_t{1});
        QVERIFY2(messages.Contains("nowhere is missing or has no Designs folder: there is "
                                   "nothing to play"),
                 messages.Shown().front().text.c_str());
        QVERIFY(window.Chart()->NoWorldText().startsWith("No scenario open\n\nThe game folder"));

        // A game folder with designs but no scenario.
        QDir(empty.path()).mkpath("game/Designs");
        messages.Clear();
        window.SetServices(
            core::TGameFolders(empty.path().toStdString() + "/game", user.path().toStdString()));
        QVERIFY(!window.OpenFirstScenario("Scenarios/Dogger Bank.nsc", 0));
        QVERIFY(messages.Contains("has no scenarios (Scenarios/*.nsc)"));
    }

    void aUserFolderThatTakesNoFilesIsSaidAtOnceAndSoAreLostPreferences() {
        QTemporaryDir dir;
        const std::string blocked = (dir.path() + "/occupied").toStdString();
        { std::ofstream(blocked) << "a file where the folder should be"; }
        core::THeadlessMessages messages(nullptr);
        TfrmMain window;
        window.SetMessages(&messages);
        window.SetServices(core::TGameFolders(tarnwake::testing::UiGameDir(), blocked + "/tw"));
        QVERIFY(!window.CheckUserFolder());
        QVERIFY(messages.Contains("Warning! The user folder cannot be written:\nCannot create "
                                  "folder"));
        messages.Clear();
        window.RestorePreferences();
        window.close();
        QVERIFY2(messages.Contains("Warning! Your preferences (the window and the chart style) "
                                   "could not be kept"),
                 messages.Texts().empty() ? "nothing said" : messages.Texts().front().c_str());
    }

    void thePreferencesAreKeptAsTheWindowCloses() {
        QTemporaryDir user;
        const core::TGameFolders folders(tarnwake::testing::UiGameDir(), user.path().toStdString());
        core::THeadlessMessages messages(nullptr);
        {
            TfrmMain window;
            window.SetMessages(&messages);
            window.SetServices(folders);
            QVERIFY(window.CheckUserFolder());
            window.RestorePreferences();
            window.SetChartStyle(ui::csBright);
            window.resize(900, 640);
            window.close();
        }
        TfrmMain again;
        again.SetServices(folders);
        again.RestorePreferences();
        QCOMPARE(again.ChartStyle(), ui::csBright);
        QCOMPARE(again.size(), QSize(900, 640));
        QVERIFY(messages.Shown().empty());
    }
};

QTEST_MAIN(LoadMessagesTest)
#include "LoadMessagesTest.moc"
