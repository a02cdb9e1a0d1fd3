#pragma once

#include "core/Folders.h"
#include "scenario/GameStart.h"

#include <QDialog>
#include <filesystem>
#include <optional>

class QComboBox;
class QSpinBox;

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::ui {

// "Game > Analyse battle...": how many games of the open scenario to play, in how many jobs at
// once, and at which force level; the computer commands both sides in every game.
class TdlgAnalyseBattle : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDefaultRuns = 100;
    static constexpr int kMostRuns = 10000;

    TdlgAnalyseBattle(const QString& scenarioTitle, int forceLevel, QWidget* parent = nullptr);

    QSpinBox* RunsBox() const { return runs_; }
    QSpinBox* JobsBox() const { return jobs_; }
    QComboBox* ForceLevelBox() const { return level_; }

private:
    QSpinBox* runs_ = nullptr;
    QSpinBox* jobs_ = nullptr;
    QComboBox* level_ = nullptr;
};

// What the analysis is asked to play.
struct TAnalysis {
    int Runs = TdlgAnalyseBattle::kDefaultRuns;
    int Jobs = 1;
    int ForceLevel = 0;
};

// Plays the batch of the open game's scenario (its seed first) under a progress window that can
// be cancelled, and writes its report and batch file to the user folder's "Analyses" folder.
// Answers the report's file; none when the batch was cancelled or failed (said through
// `messages`) or the files cannot be written.
std::optional<std::filesystem::path> RunAnalysis(QWidget* parent, const core::TGameFolders& folders,
                                                 const scenario::TGameSetup& game,
                                                 const TAnalysis& analysis,
                                                 core::IMessages& messages);

} // namespace tarnwake::ui
