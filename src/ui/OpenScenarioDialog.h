#pragma once

#include "core/Folders.h"

#include <QDialog>
#include <QString>
#include <array>
#include <filesystem>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QTableWidget;
class QTextEdit;

namespace tarnwake::ui {

// A scenario file as the open window lists it, read from its header.
struct TScenarioEntry {
    std::filesystem::path File;
    // As the game folder names it ("Scenarios/Jutland.nsc", "Custom Files/Raid.nsc"), so
    // that a replay finds it again.
    std::string GameName;
    QString Name;
    QString Date;  // "24 January 1915"
    QString Place; // the environment (sea area) it is fought in
    std::array<QString, 2> Sides;
    bool Custom = false;
    // Why it cannot be played, the first reason the game would give; empty when it can.
    QString Problem;
};

// The shipped scenarios, then the player's own, each folder in name order, each read as the
// game reads it.
std::vector<TScenarioEntry> ListScenarios(const core::TGameFolders& folders);
// The briefing of a scenario for a side: the general lines first, then the side's own.
QString ScenarioBriefing(const std::filesystem::path& scenarioFile,
                         const core::TGameFolders& folders, int side);

// The window that opens a scenario: a table of the scenarios (name, date, place, sides,
// shipped or custom), the briefing of the one selected, and the side and force levels the
// game starts with.
class TdlgOpenScenario : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWatchBoth = 2;

    TdlgOpenScenario(const core::TGameFolders& folders, QWidget* parent = nullptr);

    const std::vector<TScenarioEntry>& Entries() const { return entries_; }
    QTableWidget* Table() const { return table_; }
    QTextEdit* Briefing() const { return briefing_; }
    QComboBox* SideBox() const { return side_; }
    QComboBox* ForceLevelBox(int side) const;
    // The entry selected (none: nothing selected).
    const TScenarioEntry* Selected() const;
    // The player's side: 0, 1, or kWatchBoth.
    int PlayerSide() const;
    std::array<int, 2> ForceLevels() const;

private:
    void SelectionChanged();

    core::TGameFolders folders_;
    std::vector<TScenarioEntry> entries_;
    QTableWidget* table_ = nullptr;
    QTextEdit* briefing_ = nullptr;
    QComboBox* side_ = nullptr;
    std::array<QComboBox*, 2> forceLevel_{};
    std::array<QLabel*, 2> forceLabel_{};
};

} // namespace tarnwake::ui
