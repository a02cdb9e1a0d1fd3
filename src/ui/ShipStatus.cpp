#include "ui/ShipStatus.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Rounding.h"
#include "core/Text.h"
#include "designs/ShipTypes.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "engine/Movement.h"
#include "map/GlobeUnits.h"
#include "ui/ChartColours.h"
#include "ui/ChartView.h"
#include "ui/Pictures.h"
#include "ui/ShipPlan.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <optional>

namespace tarnwake::ui {

namespace {

using combat::TFightingShip;
using designs::kMainGuns;
using designs::kSecondaryGuns;
using designs::kTertiaryGuns;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A filtered mine or torpedo line keeps only its time, "hh:nn".
constexpr int kLogTimeChars = 5;
// The game view spans about two nautical miles: a capital ship is a good thumb long.
constexpr double kGameViewMiles = 2.0;
constexpr int kGameViewMinWidth = 220;
constexpr int kGameViewMinHeight = 160;
constexpr int kPictureWidth = 360;
constexpr int kFlagHeight = 40;
constexpr QSize kPlanSize(kPictureWidth, 300);
// Wind force from which the sea limits a ship's speed.
constexpr int kWeatherLimitForce = 6;

const char* kNoTarget = "";
const char* kNotAvailable = "-";

// The first `count` characters of a UTF-8 text, never splitting a character.
std::string FirstChars(const std::string& text, int count) {
    std::size_t i = 0;
    for (int n = 0; n < count && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
            ++i;
        }
    }
    return text.substr(0, i);
}

// The length of the gunnery sign at the start of a line (0 when there is none).
std::size_t GunnerySignLength(const std::string& line) {
    if (line.starts_with(kGunneryLineSign)) {
        return std::char_traits<char>::length(kGunneryLineSign);
    }
    if (!line.empty() && line.front() == kGunneryLineSignByte) {
        return 1;
    }
    return 0;
}

QString Number(double value) {
    return QString::number(value);
}

QString Fixed2(double value) {
    return QString::number(value, 'f', 2);
}

QString TargetName(const TFightingShip* target) {
    return target != nullptr ? Q(target->Name) : QString(kNoTarget);
}

QLabel* ValueLabel(QWidget* parent, const QString& objectName) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    return label;
}

} // namespace

// ---- Texts ----------------------------------------------------------------------------------

std::string TypeLine(const designs::Tship& design, const std::string& nationAdjective,
                     const std::string& unspecifiedName, int dayNumber, core::IMessages& messages) {
    const bool unspecified = core::EqualsNoCase(nationAdjective, "Unspecified");
    const std::string& nationality =
        unspecified && !unspecifiedName.empty() ? unspecifiedName : nationAdjective;
    std::string line = Q(nationality).toUpper().toStdString() + " " +
                       designs::ShipTypeLongName(designs::TypeIndex(design.ShipType), messages);
    if (design.ObsoleteDate < dayNumber) {
        line = "OLD " + line;
    }
    return line;
}

std::string TorpedoTubeText(int count) {
    if (count > 0) {
        return std::to_string(count) + " above water";
    }
    if (count < 0) {
        return std::to_string(-static_cast<long long>(count)) + " submerged";
    }
    return {};
}

std::string HitPercentText(int hits, int rounds) {
    const double percent = rounds > 0 ? static_cast<double>(hits) / rounds * 100.0 : 0.0;
    return Fixed2(percent).toStdString();
}

std::string AlarmText(const TFightingShip& ship) {
    if (ship.Sunk) {
        return "Sunk!";
    }
    if (ship.Sinking > 0) {
        return "Sinking!";
    }
    if (ship.FireLevel >= 2) {
        return "On fire! (" + std::to_string(ship.FireLevel - 1) + ")";
    }
    return {};
}

std::string RudderText(int rudderStatus) {
    switch (rudderStatus) {
    case 1:
        return "Rudder jammed stbd";
    case 2:
        return "Rudder jammed center";
    case 3:
        return "Rudder jammed port";
    default:
        return {};
    }
}

std::vector<std::string> FilterLogEntries(const std::vector<std::string>& lines,
                                          bool scenarioOver) {
    std::vector<std::string> shown;
    shown.reserve(lines.size());
    for (const std::string& line : lines) {
        const std::size_t sign = GunnerySignLength(line);
        if (scenarioOver) {
            shown.push_back(line.substr(sign));
            continue;
        }
        if (sign > 0) {
            continue;
        }
        if (const std::size_t bracket = line.find('('); bracket != std::string::npos) {
            shown.push_back(line.substr(0, bracket));
        } else if (line.find("Mine") != std::string::npos ||
                   (line.find("Torpedo") != std::string::npos &&
                    line.find("reloaded") == std::string::npos)) {
            shown.push_back(FirstChars(line, kLogTimeChars) + " Mine/Torpedo");
        } else {
            shown.push_back(line);
        }
    }
    return shown;
}

std::string OperationalHistoryText(const std::string& shipName,
                                   const std::vector<std::string>& entries) {
    std::string text = "Operational history, " + shipName + "\n\n";
    for (const std::string& entry : entries) {
        text += entry + "\n";
    }
    return text;
}

// ---- The dialog -----------------------------------------------------------------------------

TdlgShipStatus::TdlgShipStatus(engine::TGameWorld& world, core::IMessages& messages,
                               QWidget* parent)
    : QDialog(parent), world_(world), messages_(messages) {
    setObjectName("shipStatus");
    setWindowTitle(" Ship Status");
    setModal(false);

    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    BuildClassCard(this);
    left->addWidget(classCard_);
    left->addStretch(1);
    top->addLayout(left);

    auto* middle = new QVBoxLayout;
    middle->addWidget(BuildStatePanel(this));
    middle->addWidget(BuildGunnery(this));
    middle->addStretch(1);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    logEntries_ = addButton("Log entries", "logEntries");
    division_ = addButton("Division", "division");
    sighted_ = addButton("Sighted", "sighted");
    // The line-of-sight check through smoke is not in the game yet.
    smoke_ = addButton("Smoke", "smoke");
    smoke_->setEnabled(false);
    QPushButton* closeButton = addButton("Close", "close");
    connect(logEntries_, &QPushButton::clicked, this, &TdlgShipStatus::ShowLogEntries);
    connect(division_, &QPushButton::clicked, this, &TdlgShipStatus::DivisionClicked);
    connect(sighted_, &QPushButton::clicked, this, &TdlgShipStatus::ShowSighted);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    middle->addLayout(buttons);
    top->addLayout(middle, 1);

    top->addWidget(BuildViews(this));
}

TdlgShipStatus::~TdlgShipStatus() = default;

void TdlgShipStatus::BuildClassCard(QWidget* parent) {
    classCard_ = new QGroupBox(parent);
    classCard_->setObjectName("classCard");
    auto* layout = new QVBoxLayout(classCard_);
    flag_ = ValueLabel(classCard_, "flag");
    typeLine_ = ValueLabel(classCard_, "typeLine");
    shipName_ = ValueLabel(classCard_, "shipName");
    QFont big = shipName_->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    shipName_->setFont(big);
    classLine_ = ValueLabel(classCard_, "classLine");
    displacement_ = ValueLabel(classCard_, "displacement");
    for (QLabel* l : {flag_, typeLine_, shipName_, classLine_, displacement_}) {
        layout->addWidget(l);
    }
    static const char* kGunNames[] = {"", "mainGuns", "secondaryGuns", "tertiaryGuns"};
    for (int level = kMainGuns; level <= kTertiaryGuns; ++level) {
        gunLines_[level] = ValueLabel(classCard_, kGunNames[level]);
        layout->addWidget(gunLines_[level]);
    }
    torpedoPanel_ = new QWidget(classCard_);
    torpedoPanel_->setObjectName("torpedoPanel");
    auto* torpedoes = new QVBoxLayout(torpedoPanel_);
    torpedoes->setContentsMargins(0, 0, 0, 0);
    torpedoCaption_ = ValueLabel(torpedoPanel_, "torpedoCaption");
    tubesAbove_ = ValueLabel(torpedoPanel_, "tubesAboveWater");
    tubesSubmerged_ = ValueLabel(torpedoPanel_, "tubesSubmerged");
    torpedoes->addWidget(torpedoCaption_);
    torpedoes->addWidget(tubesAbove_);
    torpedoes->addWidget(tubesSubmerged_);
    layout->addWidget(torpedoPanel_);
    for (const char* name :
         {"armourBelt", "armourDeck", "armourTurrets", "armourBattery", "armourCT"}) {
        armour_.push_back(ValueLabel(classCard_, name));
        layout->addWidget(armour_.back());
    }
}

QWidget* TdlgShipStatus::BuildStatePanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    stateLine_ = ValueLabel(panel, "stateLine");
    alarmLine_ = ValueLabel(panel, "alarmLine");
    alarmLine_->setStyleSheet("color: #c00000; font-weight: bold;");
    rudderLine_ = ValueLabel(panel, "rudderLine");
    layout->addWidget(stateLine_);
    layout->addWidget(alarmLine_);

    damageBox_ = new QGroupBox("Damage", panel);
    damageBox_->setObjectName("damageBox");
    auto* damage = new QFormLayout(damageBox_);
    structure_ = new QProgressBar(damageBox_);
    structure_->setObjectName("structureBar");
    flotation_ = new QProgressBar(damageBox_);
    flotation_->setObjectName("flotationBar");
    damage->addRow("Structure", structure_);
    damage->addRow("Flotation", flotation_);
    heavyHits_ = ValueLabel(damageBox_, "heavyHits");
    mediumHits_ = ValueLabel(damageBox_, "mediumHits");
    lightHits_ = ValueLabel(damageBox_, "lightHits");
    torpedoHits_ = ValueLabel(damageBox_, "torpedoHits");
    flooding_ = ValueLabel(damageBox_, "flooding");
    damage->addRow("Heavy hits", heavyHits_);
    damage->addRow("Medium hits", mediumHits_);
    damage->addRow("Light hits", lightHits_);
    damage->addRow("Torpedo hits", torpedoHits_);
    damage->addRow("Flooding", flooding_);
    layout->addWidget(damageBox_);
    layout->addWidget(rudderLine_);

    auto* boxes = new QHBoxLayout;
    manoeuvreBox_ = new QGroupBox("Manoeuvre", panel);
    manoeuvreBox_->setObjectName("manoeuvreBox");
    auto* manoeuvre = new QFormLayout(manoeuvreBox_);
    maxSpeed_ = ValueLabel(manoeuvreBox_, "maxSpeed");
    maxSpeedCaption_ = new QLabel("Maximum speed", manoeuvreBox_);
    currentSpeed_ = ValueLabel(manoeuvreBox_, "currentSpeed");
    course_ = ValueLabel(manoeuvreBox_, "course");
    evading_ = new QCheckBox("Evading", manoeuvreBox_);
    evading_->setObjectName("evading");
    // The mark shows the ship's state; evading is ordered elsewhere.
    evading_->setEnabled(false);
    endurance_ = ValueLabel(manoeuvreBox_, "endurance");
    enduranceCaption_ = new QLabel("Endurance", manoeuvreBox_);
    manoeuvre->addRow(maxSpeedCaption_, maxSpeed_);
    manoeuvre->addRow("Speed", currentSpeed_);
    manoeuvre->addRow("Course", course_);
    manoeuvre->addRow(evading_);
    manoeuvre->addRow(enduranceCaption_, endurance_);
    boxes->addWidget(manoeuvreBox_);

    dataBox_ = new QGroupBox("Data", panel);
    dataBox_->setObjectName("dataBox");
    auto* data = new QFormLayout(dataBox_);
    crewQuality_ = ValueLabel(dataBox_, "crewQuality");
    fireControl_ = ValueLabel(dataBox_, "fireControl");
    pointValue_ = ValueLabel(dataBox_, "pointValue");
    data->addRow("Crew quality", crewQuality_);
    data->addRow("Fire control", fireControl_);
    data->addRow("Point value", pointValue_);
    boxes->addWidget(dataBox_);
    layout->addLayout(boxes);
    return panel;
}

QWidget* TdlgShipStatus::BuildGunnery(QWidget* parent) {
    gunneryTabs_ = new QTabWidget(parent);
    gunneryTabs_->setObjectName("gunneryTabs");
    static const char* kPrefix[] = {"", "main", "sec", "ter"};
    static const char* kCaption[] = {"", "Main guns", "Secondary guns", "Tertiary guns"};
    for (int level = kMainGuns; level <= kTertiaryGuns; ++level) {
        auto* page = new QWidget(gunneryTabs_);
        auto* form = new QFormLayout(page);
        const QString prefix = kPrefix[level];
        gunType_[level] = ValueLabel(page, prefix + "GunType");
        rounds_[level] = ValueLabel(page, prefix + "Rounds");
        hits_[level] = ValueLabel(page, prefix + "Hits");
        hitPercent_[level] = ValueLabel(page, prefix + "HitPercent");
        roundsLeft_[level] = ValueLabel(page, prefix + "RoundsLeft");
        form->addRow(level == kMainGuns ? "Guns" : "Guns per side", gunType_[level]);
        form->addRow("Rounds fired", rounds_[level]);
        form->addRow("Hits scored", hits_[level]);
        form->addRow("Hit percentage", hitPercent_[level]);
        form->addRow("Rounds left", roundsLeft_[level]);
        if (level == kMainGuns) {
            mainTarget_ = ValueLabel(page, "mainTarget");
            hitChance_ = ValueLabel(page, "mainHitChance");
            rateOfFire_ = ValueLabel(page, "mainRateOfFire");
            form->addRow("Target", mainTarget_);
            form->addRow("Hit chance", hitChance_);
            form->addRow("Rate of fire per gun", rateOfFire_);
            details_ = new QPushButton("Details", page);
            details_->setObjectName("details");
            details_->setAutoDefault(false);
            details_->setEnabled(false);
            connect(details_, &QPushButton::clicked, this, [this] {
                if (!accuracyReasons_.isEmpty()) {
                    messages_.Inform(accuracyReasons_.join('\n').toStdString());
                }
            });
            form->addRow(details_);
        } else {
            portTarget_[level] = ValueLabel(page, prefix + "PortTarget");
            stbdTarget_[level] = ValueLabel(page, prefix + "StbdTarget");
            form->addRow("Port target", portTarget_[level]);
            form->addRow("Starboard target", stbdTarget_[level]);
        }
        gunneryTabs_->addTab(page, kCaption[level]);
    }
    return gunneryTabs_;
}

QWidget* TdlgShipStatus::BuildViews(QWidget* parent) {
    viewTabs_ = new QTabWidget(parent);
    viewTabs_->setObjectName("viewTabs");
    chart_ = new TChartView(viewTabs_);
    chart_->setObjectName("shipChart");
    chart_->setMinimumSize(kGameViewMinWidth, kGameViewMinHeight);
    chart_->SetShowDivisionNames(false);
    chart_->SetShowCompass(false);
    chart_->SetWorld(&world_);
    viewTabs_->addTab(chart_, "Game view");
    picture_ = ValueLabel(viewTabs_, "picture");
    picture_->setAlignment(Qt::AlignCenter);
    viewTabs_->addTab(picture_, "Picture");
    return viewTabs_;
}

void TdlgShipStatus::SetChartColours(const TChartColours& colours) {
    chart_->SetColours(colours);
}

void TdlgShipStatus::Open(TFightingShip* ship, bool reduced) {
    shipId_ = ship != nullptr ? ship->Id : combat::TShipId();
    reduced_ = reduced;
    if (!ShipInWorld()) {
        shipId_ = combat::TShipId();
        close();
        return;
    }
    Fill();
    show();
    raise();
    activateWindow();
}

void TdlgShipStatus::Refresh() {
    if (!shipId_) {
        return;
    }
    if (!ShipInWorld()) {
        shipId_ = combat::TShipId();
        if (logDialog_ != nullptr) {
            logDialog_->close();
        }
        close();
        return;
    }
    Fill();
}

combat::TFightingShip* TdlgShipStatus::Ship() const {
    return world_.FindShip(shipId_);
}

bool TdlgShipStatus::ShipInWorld() const {
    return Ship() != nullptr;
}

combat::TDivision* TdlgShipStatus::ShipDivision() const {
    return world_.DivisionOfShip(Ship());
}

void TdlgShipStatus::Fill() {
    FillClassCard();
    FillState();
    FillGunnery();
    FillViews();
    ApplyReducedView();
    if (logDialog_ != nullptr && logDialog_->isVisible()) {
        FillLog();
    }
}

bool TdlgShipStatus::MayShowOwnDetails() {
    if (!ShipInWorld()) {
        Refresh();
        return false;
    }
    return !reduced_;
}

void TdlgShipStatus::FillClassCard() {
    const TFightingShip& ship = *Ship();
    const designs::TNation& nation = world_.Nations.At(ship.Nation);
    flag_->setPixmap(FlagPicture(world_.Folders(), nation.FlagPicture, kFlagHeight));
    // Neutral shipping (side 3) has no side record and so no name of its own.
    const std::string unspecifiedName =
        ship.Side == 0 || ship.Side == 1
            ? world_.Sides[static_cast<std::size_t>(ship.Side)].UnspecName
            : std::string();
    // The game date: the whole part of the clock.
    const int day = static_cast<int>(core::Trunc(world_.Clock));
    typeLine_->setText(Q(TypeLine(ship, nation.NationAdjective, unspecifiedName, day, messages_)));
    shipName_->setText(Q(ship.Name).toUpper());
    classLine_->setText(Q(ship.Classname) + " CLASS");
    displacement_->setText(QString("Displacement, %1 tons").arg(ship.Displacement));

    const int gunCounts[] = {0, ship.TotalTurretGuns(false), ship.SecNo, ship.TerNo};
    for (int level = kMainGuns; level <= kTertiaryGuns; ++level) {
        const bool none = ship.Calibre[level] <= 0 || gunCounts[level] <= 0;
        gunLines_[level]->setHidden(none);
        gunLines_[level]->setText(
            none ? QString()
                 : QString("%1 - %2 inch.").arg(gunCounts[level]).arg(ship.Calibre[level]));
    }

    int above = 0;
    int submerged = 0;
    for (const auto& mount : ship.TorpedoMounts) {
        (designs::MountIsSubmerged(mount.Pos) ? submerged : above) += mount.Tubes;
    }
    torpedoPanel_->setHidden(ship.TorpedoMounts.empty());
    torpedoCaption_->setText(QString("Torpedo tubes (%1 inch)").arg(ship.TorpedoCalibre));
    // A submerged tube count is the negative one.
    tubesAbove_->setText(Q(TorpedoTubeText(above)));
    tubesSubmerged_->setText(Q(TorpedoTubeText(-submerged)));
    tubesAbove_->setHidden(above == 0);
    tubesSubmerged_->setHidden(submerged == 0);

    const float thickness[] = {ship.B, ship.D, ship.T, ship.SEC, ship.CT};
    static const char* kArmourNames[] = {"\" Belt (amidships)", "\" Deck", "\" Turrets",
                                         "\" Battery", "\" C.T."};
    for (std::size_t i = 0; i < armour_.size(); ++i) {
        armour_[i]->setText(Number(thickness[i]) + kArmourNames[i]);
        armour_[i]->setHidden(thickness[i] <= 0);
    }
}

void TdlgShipStatus::FillState() {
    const TFightingShip& ship = *Ship();
    const int wind = world_.Environment.WindForce;
    QString state;
    if (ship.TimeToRaiseSteam > 0) {
        state = QString("Raising steam! %1 minutes left").arg(ship.TimeToRaiseSteam);
    } else if (wind >= kWeatherLimitForce) {
        state = QString("Speed limited to %1 knots by weather!").arg(engine::MaxSpeedForWind(wind));
    }
    stateLine_->setText(state);
    stateLine_->setHidden(state.isEmpty() || reduced_);

    const QString alarm = Q(AlarmText(ship));
    alarmLine_->setText(alarm);
    alarmLine_->setHidden(alarm.isEmpty());
    const QString rudder = Q(RudderText(ship.RudderStatus));
    rudderLine_->setText(rudder);
    rudderLine_->setHidden(rudder.isEmpty() || reduced_);

    const auto setBar = [](QProgressBar* bar, int current, int maximum) {
        // A range of 0 would turn the bar into a busy indicator.
        bar->setRange(0, std::max(maximum, 1));
        bar->setValue(std::clamp(current, 0, std::max(maximum, 1)));
        bar->setToolTip(QString("%1 of %2").arg(current).arg(maximum));
    };
    setBar(structure_, ship.CurrentSuperstructurePoints, ship.MaxSuperstructurePoints);
    setBar(flotation_, ship.CurrentFloatPoints, ship.MaxFloatPoints);
    heavyHits_->setNum(ship.HeavyHits);
    mediumHits_->setNum(ship.MediumHits);
    lightHits_->setNum(ship.LightHits);
    torpedoHits_->setNum(ship.TorpedoHits);
    flooding_->setNum(ship.Flooding);

    maxSpeed_->setText(QString("%1 knots").arg(ship.CurrentMaxSpeed()));
    currentSpeed_->setText(QString("%1 knots").arg(ship.CurrentSpeed));
    course_->setText(QString::number(ship.Course()));
    evading_->setChecked(ship.Evading);
    endurance_->setText(QString("%1 nm").arg(ship.GetRemainingRange(ship.CurrentSpeed, messages_)));

    crewQuality_->setNum(ship.CrewQuality);
    fireControl_->setText(Q(designs::FireControlName(ship.FireControl)));
    // Ship values for the victory points are not in the game yet.
    pointValue_->setText(kNotAvailable);
}

void TdlgShipStatus::FillGunnery() {
    const TFightingShip& ship = *Ship();
    for (int level = kMainGuns; level <= kTertiaryGuns; ++level) {
        const bool hasGuns = ship.Calibre[level] > 0;
        if (level == kMainGuns) {
            gunType_[level]->setText(hasGuns ? QString("%1 in").arg(ship.Calibre[level])
                                             : QString(kNotAvailable));
        } else {
            const bool secondary = level == kSecondaryGuns;
            const int perSide =
                secondary ? ship.InitialSecondariesPort : ship.InitialTertiariesPort;
            const int port = secondary ? ship.CurrentSecondariesPort : ship.CurrentTertiariesPort;
            const int stbd =
                secondary ? ship.CurrentSecondariesStarboard : ship.CurrentTertiariesStarboard;
            // The design's guns per side, with those still working to port and starboard.
            gunType_[level]->setText(hasGuns ? QString("%1 (%2 / %3), %4 in")
                                                   .arg(perSide)
                                                   .arg(port)
                                                   .arg(stbd)
                                                   .arg(ship.Calibre[level])
                                             : QString(kNotAvailable));
            const TFightingShip* portTarget =
                secondary ? ship.SecondaryPortTarget : ship.TertiaryPortTarget;
            const TFightingShip* stbdTarget =
                secondary ? ship.SecondaryStarboardTarget : ship.TertiaryStarboardTarget;
            portTarget_[level]->setText(TargetName(portTarget));
            stbdTarget_[level]->setText(TargetName(stbdTarget));
            gunneryTabs_->setTabEnabled(level - 1, hasGuns);
        }
        const std::size_t l = static_cast<std::size_t>(level);
        rounds_[level]->setNum(ship.RoundsFired[l]);
        hits_[level]->setNum(ship.HitsScored[l]);
        hitPercent_[level]->setText(Q(HitPercentText(ship.HitsScored[l], ship.RoundsFired[l])));
        roundsLeft_[level]->setNum(std::max(0, ship.Ammo[l] - ship.RoundsFired[l]));
    }
    mainTarget_->setText(TargetName(ship.CurrentTarget));
    // What the main guns would do now against their target, with the reasons behind it.
    const auto estimate = engine::EstimateGunnery(world_, ship, kMainGuns);
    accuracyReasons_.clear();
    if (estimate) {
        hitChance_->setText(QString("%1 %").arg(estimate->HitChance, 0, 'f', 2));
        rateOfFire_->setText(QString::number(estimate->RateOfFire, 'f', 2));
        for (const std::string& reason : estimate->Reasons) {
            accuracyReasons_ << Q(reason);
        }
    } else {
        hitChance_->setText(kNotAvailable);
        rateOfFire_->setText(kNotAvailable);
    }
    details_->setEnabled(!accuracyReasons_.isEmpty());
}

void TdlgShipStatus::FillViews() {
    chart_->SetCentre(Ship()->Position());
    chart_->SetAltitude(kGameViewMiles * map::kGlobeUnitsPerNauticalMile);
    chart_->update();

    // The class picture is the player's own: a file of the design's picture name in the
    // Custom Files folder (the name as given, or as a JPEG file when it has no extension).
    QPixmap picture;
    const std::string& name = Ship()->PictureName;
    if (!core::Trim(name).empty()) {
        const auto& dir = world_.Folders().CustomFilesDir();
        std::optional<std::filesystem::path> file = core::FindFileNoCase(dir, name);
        if (!file && std::filesystem::path(name).extension().empty()) {
            file = core::FindFileNoCase(dir, name + ".jpg");
        }
        picture = LoadPicture(file);
    }
    if (picture.isNull()) {
        // No photograph: the plan and profile of the class, with her damage marked.
        picture = QPixmap::fromImage(ShipPlanPicture(*Ship(), kPlanSize));
    }
    if (picture.isNull()) {
        picture_->setPixmap({});
        picture_->setText("Picture not available");
    } else {
        picture_->setPixmap(picture.scaledToWidth(std::min(kPictureWidth, picture.width()),
                                                  Qt::SmoothTransformation));
    }
}

void TdlgShipStatus::ApplyReducedView() {
    // An enemy ship shows what its class and an observer tell: not its damage in figures,
    // stores, gunnery record, log or what it has sighted.
    for (QWidget* w : std::initializer_list<QWidget*>{
             damageBox_, dataBox_, gunneryTabs_, maxSpeed_, maxSpeedCaption_, evading_, endurance_,
             enduranceCaption_, logEntries_, division_, sighted_, smoke_}) {
        w->setHidden(reduced_);
    }
    division_->setEnabled(!reduced_ && ShipDivision() != nullptr);
    if (reduced_ && logDialog_ != nullptr) {
        logDialog_->close();
    }
}

std::vector<std::string> TdlgShipStatus::LogLines() const {
    return FilterLogEntries(Ship()->Hits, world_.ScenarioFinished);
}

void TdlgShipStatus::ShowLogEntries() {
    if (!MayShowOwnDetails()) {
        return;
    }
    if (logDialog_ == nullptr) {
        logDialog_ = new QDialog(this);
        logDialog_->setObjectName("logDialog");
        logDialog_->setModal(false);
        auto* layout = new QVBoxLayout(logDialog_);
        logList_ = new QListWidget(logDialog_);
        logList_->setObjectName("logList");
        logList_->setContextMenuPolicy(Qt::ActionsContextMenu);
        auto* copy = new QAction("Copy to clipboard", logList_);
        copy->setObjectName("copyToClipboard");
        connect(copy, &QAction::triggered, this, &TdlgShipStatus::CopyLogToClipboard);
        logList_->addAction(copy);
        roundsAtShip_ = ValueLabel(logDialog_, "roundsAtShip");
        layout->addWidget(logList_);
        layout->addWidget(roundsAtShip_);
        logDialog_->resize(480, 360);
    }
    FillLog();
    logDialog_->show();
    logDialog_->raise();
}

void TdlgShipStatus::FillLog() {
    logDialog_->setWindowTitle("Log entries for " + Q(Ship()->Name));
    logList_->clear();
    for (const std::string& line : LogLines()) {
        logList_->addItem(Q(line));
    }
    roundsAtShip_->setText(
        QString("Rounds fired at ship last turn: %1").arg(Ship()->RoundsFiredAtMeLastTurn));
}

void TdlgShipStatus::CopyLogToClipboard() {
    if (!MayShowOwnDetails()) {
        return;
    }
    // What the player was shown, and no more.
    QGuiApplication::clipboard()->setText(Q(OperationalHistoryText(Ship()->Name, LogLines())));
}

void TdlgShipStatus::ShowSighted() {
    if (!MayShowOwnDetails()) {
        return;
    }
    std::string text;
    for (const TFightingShip* other : Ship()->Sighted) {
        if (!text.empty()) {
            text += "\n";
        }
        // The player learns of an enemy only what the lookouts made of it.
        text += KnownShipName(*other, world_.PlayerSide) + " " +
                std::to_string(Ship()->GetRangeToShip(other, messages_));
    }
    messages_.Inform(text.empty() ? "No ships sighted" : text);
}

void TdlgShipStatus::DivisionClicked() {
    if (!MayShowOwnDetails()) {
        return;
    }
    combat::TDivision* division = ShipDivision();
    if (division == nullptr) {
        return;
    }
    close();
    emit divisionRequested(division);
}

} // namespace tarnwake::ui
