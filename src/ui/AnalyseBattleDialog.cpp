#include "ui/AnalyseBattleDialog.h"

#include "core/Messages.h"
#include "results/BatchFile.h"
#include "results/BatchReport.h"
#include "scenario/Batch.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <fstream>
#include <thread>

namespace tarnwake::ui {

namespace {

constexpr const char* kAnalysesFolder = "Analyses";
constexpr int kMostJobs = 256;

bool WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

TdlgAnalyseBattle::TdlgAnalyseBattle(const QString& scenarioTitle, int forceLevel, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Analyse battle");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        "Play " + scenarioTitle +
            " many times, the computer commanding both sides, each game with a seed of its "
            "own, and see the spread of the outcomes beside history.",
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    runs_ = new QSpinBox(this);
    runs_->setRange(1, kMostRuns);
    runs_->setValue(kDefaultRuns);
    form->addRow("Games:", runs_);
    jobs_ = new QSpinBox(this);
    jobs_->setRange(1, kMostJobs);
    jobs_->setValue(static_cast<int>(std::max(1U, std::thread::hardware_concurrency())));
    jobs_->setToolTip("Games played at once; one for each core is the fastest");
    form->addRow("Jobs:", jobs_);
    level_ = new QComboBox(this);
    for (const char* level : {"Historical", "Variable", "Maximum"}) {
        level_->addItem(level);
    }
    level_->setCurrentIndex(forceLevel);
    form->addRow("Force level:", level_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Analyse");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::optional<std::filesystem::path> RunAnalysis(QWidget* parent, const core::TGameFolders& folders,
                                                 const scenario::TGameSetup& game,
                                                 const TAnalysis& analysis,
                                                 core::IMessages& messages) {
    scenario::TBatchOptions options;
    options.ScenarioName = game.ScenarioName;
    options.ScenarioFile = game.ScenarioFile;
    options.ForceLevel = analysis.ForceLevel;
    options.FirstSeed = game.Seed;
    options.Runs = analysis.Runs;
    options.Jobs = analysis.Jobs;

    QProgressDialog progress("Playing " + QString::number(analysis.Runs) + " games...", "Cancel", 0,
                             analysis.Runs, parent);
    progress.setWindowTitle("Analyse battle");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    // The games run in threads of their own; this thread keeps the window alive meanwhile.
    const auto step = [&progress](int done, int total) {
        progress.setLabelText("Played " + QString::number(done) + " of " + QString::number(total) +
                              " games");
        progress.setValue(done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    std::string error;
    const auto batch = scenario::RunBatch(folders, options, messages, step, error);
    const bool cancelled = progress.wasCanceled();
    progress.reset();
    if (!batch) {
        if (!cancelled) {
            messages.Error("The analysis failed: " + error);
        }
        return std::nullopt;
    }
    const std::filesystem::path folder = folders.UserDir() / kAnalysesFolder;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string name = batch->Info.Title + " seeds " + std::to_string(options.FirstSeed) +
                             "-" + std::to_string(options.FirstSeed + options.Runs - 1);
    const std::filesystem::path report = folder / (name + ".html");
    if (!WriteText(report, results::BatchReportHtml(*batch)) ||
        !WriteText(folder / (name + ".json"), results::BatchJson(*batch))) {
        messages.Error("The analysis could not be written to " + folder.string());
        return std::nullopt;
    }
    return report;
}

} // namespace tarnwake::ui
