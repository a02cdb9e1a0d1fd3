// The window that opens a scenario: its table of the shipped and the player's own scenarios,
// the briefing of the one selected, and the side and force levels it hands on.

#include "ui/OpenScenarioDialog.h"
#include "GameFixture.h"
#include "engine/Side.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using namespace tarnwake;
using ui::TdlgOpenScenario;

namespace {

struct TFolders {
    QTemporaryDir userDir;
    core::TGameFolders folders{tarnwake::testing::UiGameDir(), userDir.path().toStdString()};

    // A scenario of the player's own, in the user folder's "Custom Files".
    void AddCustom(const QString& name, const QByteArray& text) {
        QDir().mkpath(QString::fromStdString(folders.CustomFilesDir().string()));
        QFile file(
            QString::fromStdString((folders.CustomFilesDir() / name.toStdString()).string()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

int RowNamed(const TdlgOpenScenario& dialog, const QString& name) {
    for (int row = 0; row < dialog.Table()->rowCount(); ++row) {
        if (dialog.Table()->item(row, 0)->text() == name) {
            return row;
        }
    }
    return -1;
}

} // namespace

class OpenScenarioDialogTest : public QObject {
    Q_OBJECT
private slots:
    void theTableListsShippedThenCustomScenariosFromTheirHeaders() {
        TFolders f;
        f.AddCustom("Raid.nsc", "[Environment]\nYear=1914\nMonth=12\nDay=16\n"
                                "EnvironmentFile=NorthSea\n[Side0]\nName=Great Britain\n"
                                "[Side1]\nName=Germany\n");
        const auto entries = ui::ListScenarios(f.folders);
        QVERIFY(entries.size() >= 2);
        const auto dogger = std::find_if(entries.begin(), entries.end(),
                                         [](const auto& e) { return e.Name == "Dogger Bank"; });
        QVERIFY(dogger != entries.end());
        QCOMPARE(dogger->Date, QString("24 January 1915"));
        QCOMPARE(dogger->Place, QString("NorthSea"));
        QCOMPARE(dogger->Sides[0], QString("Great Britain"));
        QCOMPARE(dogger->Sides[1], QString("Germany"));
        QVERIFY(!dogger->Custom);
        QVERIFY2(dogger->Problem.isEmpty(), qPrintable(dogger->Problem));
        // Named as the game folder names it, so that a replay finds it again.
        QCOMPARE(dogger->GameName, std::string("Scenarios/Dogger Bank.nsc"));
        const auto& raid = entries.back();
        QCOMPARE(raid.Name, QString("Raid"));
        QVERIFY(raid.Custom);
        QCOMPARE(raid.GameName, std::string("Custom Files/Raid.nsc"));
        QCOMPARE(raid.Date, QString("16 December 1914"));

        TdlgOpenScenario dialog(f.folders);
        QCOMPARE(dialog.Table()->rowCount(), static_cast<int>(entries.size()));
        QCOMPARE(dialog.Table()->columnCount(), 5);
        const int row = RowNamed(dialog, "Dogger Bank");
        QVERIFY(row >= 0);
        QCOMPARE(dialog.Table()->item(row, 3)->text(), QString("Great Britain - Germany"));
        QCOMPARE(dialog.Table()->item(row, 4)->text(), QString("Shipped"));
        QCOMPARE(dialog.Table()->item(dialog.Table()->rowCount() - 1, 4)->text(),
                 QString("Custom"));
    }

    void aCustomScenarioThatCannotBePlayedIsListedWithItsFirstReason() {
        TFolders f;
        f.AddCustom("Half done.nsc", "[Environment]\nYear=1915\nEnvironmentFile=NorthSea\n"
                                     "[Side0]\nName=Great Britain\n");
        f.AddCustom("Raid.nsc", "[Environment]\nYear=1914\nEnvironmentFile=NorthSea\n"
                                "[Side0]\nName=Great Britain\n[Side1]\nName=Germany\n");
        TdlgOpenScenario dialog(f.folders);
        const int broken = RowNamed(dialog, "Half done");
        const int good = RowNamed(dialog, "Raid");
        QVERIFY(broken >= 0 && good >= 0);
        const QString reason = dialog.Entries()[static_cast<std::size_t>(broken)].Problem;
        QVERIFY2(reason.endsWith("Half done.nsc: there is no [Side1] section: the second side "
                                 "has no name"),
                 qPrintable(reason));
        QCOMPARE(dialog.Table()->item(broken, 4)->text(), QString("Custom: cannot be played"));
        QCOMPARE(dialog.Table()->item(broken, 0)->toolTip(), reason);
        QVERIFY(dialog.Entries()[static_cast<std::size_t>(good)].Problem.isEmpty());
        QCOMPARE(dialog.Table()->item(good, 4)->text(), QString("Custom"));
        dialog.Table()->selectRow(broken);
        QCOMPARE(dialog.Briefing()->toPlainText(), "This scenario cannot be played:\n" + reason);
    }

    void theBriefingFollowsTheSelectionAndTheSide() {
        TFolders f;
        TdlgOpenScenario dialog(f.folders);
        const int row = RowNamed(dialog, "Dogger Bank");
        dialog.Table()->selectRow(row);
        QCOMPARE(dialog.Selected()->Name, QString("Dogger Bank"));
        QCOMPARE(dialog.SideBox()->itemText(0), QString("Great Britain"));
        QCOMPARE(dialog.SideBox()->itemText(1), QString("Germany"));
        const QString british = dialog.Briefing()->toPlainText();
        // The general lines, then the side's own.
        QVERIFY2(british.startsWith("24 January 1915."), qPrintable(british));
        QVERIFY(british.contains("Your battle cruisers are faster"));
        QVERIFY(!british.contains("Run for Heligoland"));
        dialog.SideBox()->setCurrentIndex(1);
        QCOMPARE(dialog.PlayerSide(), 1);
        const QString german = dialog.Briefing()->toPlainText();
        QVERIFY(german.contains("Run for Heligoland"));
        QVERIFY(!german.contains("Your battle cruisers are faster"));
        dialog.SideBox()->setCurrentIndex(2);
        QCOMPARE(dialog.PlayerSide(), TdlgOpenScenario::kWatchBoth);
    }

    void theForceLevelsStartVariableAndAreHandedOn() {
        TFolders f;
        TdlgOpenScenario dialog(f.folders);
        QCOMPARE(dialog.ForceLevels(),
                 (std::array<int, 2>{engine::flVariable, engine::flVariable}));
        dialog.ForceLevelBox(0)->setCurrentIndex(engine::flHistorical);
        dialog.ForceLevelBox(1)->setCurrentIndex(engine::flMaximum);
        QCOMPARE(dialog.ForceLevels(),
                 (std::array<int, 2>{engine::flHistorical, engine::flMaximum}));
        QCOMPARE(dialog.ForceLevelBox(2), nullptr);
    }
};

QTEST_MAIN(OpenScenarioDialogTest)
#include "OpenScenarioDialogTest.moc"
