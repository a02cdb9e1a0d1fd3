// "Game > Analyse battle...": the dialog's choices, a batch played under its progress window
// into the user folder, and a batch cancelled from that window.

#include "ui/AnalyseBattleDialog.h"
#include "GameFixture.h"
#include "engine/Side.h"

#include <QComboBox>
#include <QFile>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace tarnwake;
using ui::TdlgAnalyseBattle;

namespace {

struct TCoronel {
    QTemporaryDir userDir;
    core::TGameFolders folders{tarnwake::testing::UiGameDir(), userDir.path().toStdString()};
    core::THeadlessMessages messages{nullptr};
    scenario::TGameSetup game;

    TCoronel() {
        game.ScenarioName = "Scenarios/Coronel.nsc";
        game.ScenarioFile = folders.ScenariosDir() / "Coronel.nsc";
        game.Seed = 40;
    }
};

QString ReadAll(const std::filesystem::path& file) {
    QFile in(QString::fromStdString(file.string()));
    return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
}

} // namespace

class AnalyseBattleDialogTest : public QObject {
    Q_OBJECT
private slots:
    void theChoicesStartFromTheOpenGame() {
        TdlgAnalyseBattle dialog("Coronel", engine::flMaximum);
        QCOMPARE(dialog.windowTitle(), QString("Analyse battle"));
        QCOMPARE(dialog.RunsBox()->value(), TdlgAnalyseBattle::kDefaultRuns);
        QVERIFY(dialog.JobsBox()->value() >= 1);
        QCOMPARE(dialog.JobsBox()->minimum(), 1);
        QCOMPARE(dialog.RunsBox()->minimum(), 1);
        QCOMPARE(dialog.ForceLevelBox()->currentIndex(), static_cast<int>(engine::flMaximum));
    }

    void aBatchIsPlayedIntoTheUserFolder() {
        TCoronel c;
        QWidget window;
        const auto report =
            ui::RunAnalysis(&window, c.folders, c.game, {3, 2, engine::flHistorical}, c.messages);
        QVERIFY(report);
        QCOMPARE(QString::fromStdString(report->filename().string()),
                 QString("Coronel seeds 40-42.html"));
        const QString html = ReadAll(*report);
        QVERIFY(html.contains("Coronel: what-if analysis"));
        QVERIFY(html.contains("Against history"));
        const QString json = ReadAll(report->parent_path() / "Coronel seeds 40-42.json");
        QVERIFY(json.contains("\"seeds\": 3"));
        QVERIFY(json.contains("\"level\": \"historical\""));
    }

    void aCancelledBatchWritesNothingAndSaysNothing() {
        TCoronel c;
        QWidget window;
        QTimer::singleShot(0, &window, [&window] {
            for (auto* progress : window.findChildren<QProgressDialog*>()) {
                progress->cancel();
            }
        });
        const auto report = ui::RunAnalysis(&window, c.folders, c.game,
                                            {TdlgAnalyseBattle::kMostRuns, 1, 0}, c.messages);
        QVERIFY(!report);
        for (const std::string& text : c.messages.Texts()) {
            QVERIFY2(text.find("failed") == std::string::npos, text.c_str());
        }
        QVERIFY(!std::filesystem::exists(c.folders.UserDir() / "Analyses"));
    }
};

QTEST_MAIN(AnalyseBattleDialogTest)
#include "AnalyseBattleDialogTest.moc"
