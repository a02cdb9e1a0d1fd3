#include "ui/OpenScenarioDialog.h"

#include "core/Text.h"
#include "engine/Side.h"
#include "scenario/ScenarioLoader.h"
#include "scenario/SectionReader.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tarnwake::ui {

namespace {

enum TColumn { colName, colDate, colPlace, colSides, colSource, kColumnCount };
constexpr std::array<const char*, kColumnCount> kColumnTitles = {"Name", "Date", "Place", "Sides",
                                                                 "Source"};
constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};
constexpr std::array<const char*, 3> kForceLevels = {"Historical", "Variable", "Maximum"};
constexpr int kMonthsInYear = 12;
// The lines of a briefing file for all sides begin with this side number.
constexpr int kGeneralBriefing = 2;
constexpr int kBriefingMarkerLength = 4; // "[0] "
constexpr const char* kCannotBePlayed = ": cannot be played";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString DateText(const scenario::TSectionReader& file) {
    const int day = file.ReadInteger("Environment", "Day", 0);
    const int month = file.ReadInteger("Environment", "Month", 0);
    const int year = file.ReadInteger("Environment", "Year", 0);
    if (year <= 0) {
        return {};
    }
    if (month < 1 || month > kMonthsInYear) {
        return QString::number(year);
    }
    const QString monthYear =
        QString("%1 %2").arg(kMonths[static_cast<std::size_t>(month - 1)]).arg(year);
    return day > 0 ? QString::number(day) + " " + monthYear : monthYear;
}

// The lines of a briefing file that begin with "[side]", without that marker.
QString BriefingLines(const core::TTextFile& text, int side) {
    const std::string marker = "[" + std::to_string(side) + "]";
    QString result;
    for (const std::string& line : text.lines) {
        if (line.rfind(marker, 0) == 0 && line.size() > marker.size()) {
            result +=
                Q(line.substr(std::min<std::size_t>(kBriefingMarkerLength, line.size()))) + "\n";
        }
    }
    return result;
}

} // namespace

std::vector<TScenarioEntry> ListScenarios(const core::TGameFolders& folders) {
    std::vector<TScenarioEntry> entries;
    const std::array<std::pair<std::filesystem::path, const char*>, 2> dirs = {
        std::pair{folders.ScenariosDir(), "Scenarios"},
        std::pair{folders.CustomFilesDir(), "Custom Files"}};
    for (const auto& [dir, folderName] : dirs) {
        const QDir qdir(Q(dir.string()));
        for (const QString& name : qdir.entryList({"*.nsc"}, QDir::Files, QDir::Name)) {
            TScenarioEntry entry;
            entry.File = dir / name.toStdString();
            entry.GameName = std::string(folderName) + "/" + name.toStdString();
            entry.Name = QFileInfo(name).completeBaseName();
            entry.Custom = dir == folders.CustomFilesDir();
            const auto file = scenario::TSectionReader::FromFile(entry.File);
            if (!file.Ok()) {
                entry.Problem = Q(file.Error());
            } else if (const auto why = scenario::WhyUnplayable(file); !why.empty()) {
                entry.Problem = Q(why.front());
            }
            entry.Date = DateText(file);
            entry.Place = Q(file.ReadString("Environment", "EnvironmentFile", ""));
            for (int side = 0; side < 2; ++side) {
                entry.Sides[static_cast<std::size_t>(side)] =
                    Q(file.ReadString("Side" + std::to_string(side), "Name", ""));
            }
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

QString ScenarioBriefing(const std::filesystem::path& scenarioFile,
                         const core::TGameFolders& folders, int side) {
    std::filesystem::path file = scenarioFile;
    file.replace_extension(".txt");
    const core::TTextFile text = core::ReadTextFile(folders.WithCustomOverride(file));
    if (!text.ok) {
        return {};
    }
    QString briefing = BriefingLines(text, kGeneralBriefing);
    if (side == 0 || side == 1) {
        const QString own = BriefingLines(text, side);
        if (!own.isEmpty()) {
            briefing += (briefing.isEmpty() ? "" : "\n") + own;
        }
    }
    return briefing;
}

TdlgOpenScenario::TdlgOpenScenario(const core::TGameFolders& folders, QWidget* parent)
    : QDialog(parent), folders_(folders), entries_(ListScenarios(folders)) {
    setWindowTitle("Open scenario");
    auto* layout = new QVBoxLayout(this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    table_ = new QTableWidget(static_cast<int>(entries_.size()), kColumnCount, splitter);
    table_->setObjectName("scenarioTable");
    QStringList titles;
    for (const char* title : kColumnTitles) {
        titles << title;
    }
    table_->setHorizontalHeaderLabels(titles);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < static_cast<int>(entries_.size()); ++row) {
        const TScenarioEntry& e = entries_[static_cast<std::size_t>(row)];
        const QString source = e.Custom ? "Custom" : "Shipped";
        const QStringList cells = {e.Name, e.Date, e.Place, e.Sides[0] + " - " + e.Sides[1],
                                   e.Problem.isEmpty() ? source : source + kCannotBePlayed};
        for (int column = 0; column < kColumnCount; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!e.Problem.isEmpty()) {
                // Greyed, with its reason at hand: opening it would only say why not.
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                item->setToolTip(e.Problem);
            }
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    briefing_ = new QTextEdit(splitter);
    briefing_->setObjectName("scenarioBriefing");
    briefing_->setReadOnly(true);
    splitter->addWidget(table_);
    splitter->addWidget(briefing_);
    layout->addWidget(splitter, 1);

    auto* form = new QFormLayout;
    side_ = new QComboBox(this);
    side_->setObjectName("side");
    form->addRow("Play", side_);
    for (int side = 0; side < 2; ++side) {
        QComboBox* level = new QComboBox(this);
        level->setObjectName(QString("forceLevel%1").arg(side));
        for (const char* name : kForceLevels) {
            level->addItem(name);
        }
        level->setCurrentIndex(engine::flVariable);
        forceLevel_[static_cast<std::size_t>(side)] = level;
        auto* label = new QLabel(QString("Force level, side %1").arg(side), this);
        forceLabel_[static_cast<std::size_t>(side)] = label;
        form->addRow(label, level);
    }
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &TdlgOpenScenario::SelectionChanged);
    connect(side_, &QComboBox::currentIndexChanged, this, &TdlgOpenScenario::SelectionChanged);
    layout->addWidget(buttons);
    QPushButton* open = buttons->button(QDialogButtonBox::Open);
    open->setEnabled(false);
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this, open] { open->setEnabled(Selected() != nullptr); });
    if (!entries_.empty()) {
        table_->selectRow(0);
    }
}

QComboBox* TdlgOpenScenario::ForceLevelBox(int side) const {
    return side == 0 || side == 1 ? forceLevel_[static_cast<std::size_t>(side)] : nullptr;
}

const TScenarioEntry* TdlgOpenScenario::Selected() const {
    const auto rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return nullptr;
    }
    const int row = rows.front().row();
    return row >= 0 && row < static_cast<int>(entries_.size())
               ? &entries_[static_cast<std::size_t>(row)]
               : nullptr;
}

int TdlgOpenScenario::PlayerSide() const {
    return side_->currentIndex() >= 0 ? side_->currentData().toInt() : 0;
}

std::array<int, 2> TdlgOpenScenario::ForceLevels() const {
    return {forceLevel_[0]->currentIndex(), forceLevel_[1]->currentIndex()};
}

void TdlgOpenScenario::SelectionChanged() {
    const TScenarioEntry* entry = Selected();
    if (entry == nullptr) {
        briefing_->clear();
        return;
    }
    // The side list names the selected scenario's sides, keeping the choice made.
    if (side_->count() == 0 || side_->itemText(0) != entry->Sides[0] ||
        side_->itemText(1) != entry->Sides[1]) {
        const int chosen = side_->currentIndex() >= 0 ? side_->currentIndex() : 0;
        const QSignalBlocker block(side_);
        side_->clear();
        side_->addItem(entry->Sides[0], 0);
        side_->addItem(entry->Sides[1], 1);
        side_->addItem("Watch the computer command both", kWatchBoth);
        side_->setCurrentIndex(chosen);
        for (std::size_t side = 0; side < 2; ++side) {
            forceLabel_[side]->setText("Force level, " + entry->Sides[side]);
        }
    }
    if (!entry->Problem.isEmpty()) {
        briefing_->setPlainText("This scenario cannot be played:\n" + entry->Problem);
        return;
    }
    briefing_->setPlainText(ScenarioBriefing(entry->File, folders_, PlayerSide()));
}

} // namespace tarnwake::ui
