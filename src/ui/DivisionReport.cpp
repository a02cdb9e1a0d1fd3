#include "ui/DivisionReport.h"

#include "combat/Force.h"
#include "core/Messages.h"
#include "designs/ShipTypes.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "engine/Orders.h"
#include "map/Geometry.h"
#include "map/PositionText.h"
#include "ui/ChartColours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

namespace tarnwake::ui {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// Smoke screens and fire discipline orders were no part of fleet tactics before 1908.
constexpr int kFirstSmokeOrderYear = 1908;
// Hold-fire minutes above this show as the indefinite hold.
constexpr int kIndefiniteHoldShownAbove = 100;
constexpr int kCourseStep = 5;
constexpr int kFullCircle = 360;
constexpr int kShipIdRole = Qt::UserRole;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void SelectByData(QComboBox* box, int value) {
    const int index = box->findData(value);
    box->setCurrentIndex(index);
}

const char* const kOrderFlotillaAttack = "Order flotilla attack";
const char* const kFlotillaAttackOrdered = "Flotilla attack ordered";

QPushButton* ToggleButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setCheckable(true);
    return button;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// "3/10": torpedoes ready in the mounts still working, of all the tubes the ship carries.
std::string TorpedoText(const TFightingShip& ship) {
    int ready = 0;
    int tubes = 0;
    for (const auto& mount : ship.TorpedoMounts) {
        if (!mount.Destroyed) {
            ready += mount.TorpsLeft;
        }
        tubes += std::abs(mount.Tubes);
    }
    return std::to_string(ready) + "/" + std::to_string(tubes);
}

} // namespace

TdlgDivisionReport::TdlgDivisionReport(engine::TGameWorld& world, core::IMessages& messages,
                                       QWidget* parent)
    : QDialog(parent), world_(world), messages_(messages) {
    BuildLayout();
}

void TdlgDivisionReport::BuildLayout() {
    auto* layout = new QVBoxLayout(this);

    auto* orders = new QGroupBox("Orders", this);
    auto* grid = new QGridLayout(orders);
    course_ = new QSpinBox(orders);
    course_->setObjectName("course");
    course_->setRange(0, kFullCircle);
    course_->setSingleStep(kCourseStep);
    course_->setWrapping(true);
    pickCourse_ = Button("Pick course from map", "pickCourse", orders);
    speed_ = new QSpinBox(orders);
    speed_->setObjectName("speed");
    med_ = Button("Med", "med", orders);
    sqMax_ = Button("Sq max", "sqMax", orders);
    maxSpeed_ = Button("Max", "maxSpeed", orders);
    formation_ = new QComboBox(orders);
    formation_->setObjectName("formation");
    turnTogether_ = new QCheckBox("Turn together", orders);
    turnTogether_->setObjectName("turnTogether");
    role_ = new QComboBox(orders);
    role_->setObjectName("role");
    lead_ = new QComboBox(orders);
    lead_->setObjectName("leadDivision");
    aiControl_ = new QCheckBox("AI control", orders);
    aiControl_->setObjectName("aiControl");
    target_ = new QLabel(orders);
    target_->setObjectName("targetDivision");
    selectTarget_ = Button("Select target division", "selectTargetDivision", orders);

    grid->addWidget(new QLabel("Course", orders), 0, 0);
    grid->addWidget(course_, 0, 1);
    grid->addWidget(pickCourse_, 0, 2);
    grid->addWidget(new QLabel("Speed", orders), 1, 0);
    grid->addWidget(speed_, 1, 1);
    auto* speedButtons = new QHBoxLayout;
    for (QPushButton* b : {med_, sqMax_, maxSpeed_}) {
        speedButtons->addWidget(b);
    }
    grid->addLayout(speedButtons, 1, 2);
    grid->addWidget(new QLabel("Formation", orders), 2, 0);
    grid->addWidget(formation_, 2, 1);
    grid->addWidget(turnTogether_, 2, 2);
    grid->addWidget(new QLabel("Role", orders), 3, 0);
    grid->addWidget(role_, 3, 1);
    grid->addWidget(aiControl_, 3, 2);
    grid->addWidget(new QLabel("Lead division", orders), 4, 0);
    grid->addWidget(lead_, 4, 1, 1, 2);
    grid->addWidget(new QLabel("Target division", orders), 5, 0);
    grid->addWidget(target_, 5, 1);
    grid->addWidget(selectTarget_, 5, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(orders);

    auto* fire = new QHBoxLayout;
    makeSmoke_ = ToggleButton("Make smoke", "makeSmoke", this);
    holdFire_ = ToggleButton("Hold fire", "holdFire", this);
    holdFire10_ = ToggleButton("Hold fire 10 minutes", "holdFire10", this);
    holdTorpedoFire_ = ToggleButton("Hold torpedo fire", "holdTorpedoFire", this);
    flotillaAttack_ = ToggleButton(kOrderFlotillaAttack, "flotillaAttack", this);
    for (QPushButton* b : {makeSmoke_, holdFire_, holdFire10_, holdTorpedoFire_, flotillaAttack_}) {
        b->setAutoDefault(false);
        fire->addWidget(b);
    }
    layout->addLayout(fire);

    auto* status = new QHBoxLayout;
    objective_ = Button(QString(), "objective", this);
    objective_->setFlat(true);
    objective_->setToolTip("Centre the chart on the division's objective");
    smoke_ = new QLabel(this);
    smoke_->setObjectName("smoke");
    smokeWarning_ = new QLabel(this);
    smokeWarning_->setObjectName("smokeWarning");
    status->addWidget(objective_);
    status->addStretch();
    status->addWidget(smoke_);
    status->addWidget(smokeWarning_);
    layout->addLayout(status);

    ships_ = new QTreeWidget(this);
    ships_->setObjectName("ships");
    ships_->setRootIsDecorated(false);
    ships_->setSelectionMode(QAbstractItemView::SingleSelection);
    ships_->setHeaderLabels({"Name", "Speed", "Max speed", "Damage", "Flooding", "Hits", "Guns",
                             "Ammo", "Main target", "Torpedoes", "Damage points", "Fuel", "Nm/18"});
    ships_->headerItem()->setToolTip(colHits, "Heavy - medium - light - torpedo hits received");
    ships_->headerItem()->setToolTip(colGuns, "Main guns working / main guns");
    ships_->headerItem()->setToolTip(colTorpedoes, "Torpedoes ready / tubes");
    layout->addWidget(ships_, 1);

    auto* bottom = new QHBoxLayout;
    shipDetails_ = Button("Ship details", "shipDetails", this);
    setShipTarget_ = Button("Set ship target", "setShipTarget", this);
    fireTorpedoes_ = Button("Fire torpedoes", "fireTorpedoes", this);
    for (QPushButton* b : {shipDetails_, setShipTarget_, fireTorpedoes_}) {
        bottom->addWidget(b);
    }
    bottom->addStretch();
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName("ok");
    box->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    bottom->addWidget(box);
    layout->addLayout(bottom);
    resize(900, 520);

    connect(box, &QDialogButtonBox::accepted, this, &TdlgDivisionReport::OkClicked);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(med_, &QPushButton::clicked, this, [this] {
        if (Division() != nullptr) {
            speed_->setValue(Division()->MedianSpeed());
        }
    });
    connect(sqMax_, &QPushButton::clicked, this, [this] {
        if (Division() != nullptr) {
            speed_->setValue(Division()->SlowestSpeed());
        }
    });
    connect(maxSpeed_, &QPushButton::clicked, this, [this] { speed_->setValue(highestMaxSpeed_); });
    connect(aiControl_, &QCheckBox::clicked, this, [this] { UpdateEnabledStates(); });
    // The two holds exclude each other; both may be up.
    connect(holdFire_, &QPushButton::toggled, this, [this](bool down) {
        if (down) {
            holdFire10_->setChecked(false);
        }
    });
    connect(holdFire10_, &QPushButton::toggled, this, [this](bool down) {
        if (down) {
            holdFire_->setChecked(false);
        }
    });
    connect(flotillaAttack_, &QPushButton::clicked, this,
            [this](bool down) { emit flotillaAttackDisplayChanged(down); });
    // The button says what the force's flotillas are to do, in its caption and its tooltip.
    connect(flotillaAttack_, &QPushButton::toggled, this, [this](bool down) {
        flotillaAttack_->setText(down ? kFlotillaAttackOrdered : kOrderFlotillaAttack);
    });
    flotillaAttack_->setToolTip(
        "The force's destroyer flotillas attack the enemy with torpedoes (ordered with Ok)");
    connect(objective_, &QPushButton::clicked, this, [this] {
        if (Division() != nullptr && !(Division()->Objective == map::TGeoPos{})) {
            emit centreRequested(Division()->Objective);
        }
    });
    connect(pickCourse_, &QPushButton::clicked, this,
            [this] { HideFor(&TdlgDivisionReport::pickCourseRequested); });
    connect(selectTarget_, &QPushButton::clicked, this,
            [this] { HideFor(&TdlgDivisionReport::divisionTargetRequested); });
    connect(ships_, &QTreeWidget::itemSelectionChanged, this,
            &TdlgDivisionReport::UpdateShipButtons);
    connect(ships_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (TFightingShip* ship = ShipOf(item)) {
            emit shipDetailsRequested(ship);
        }
    });
    connect(shipDetails_, &QPushButton::clicked, this, [this] {
        if (TFightingShip* ship = SelectedShip()) {
            emit shipDetailsRequested(ship);
        }
    });
    connect(setShipTarget_, &QPushButton::clicked, this, [this] {
        if (TFightingShip* ship = SelectedShip()) {
            hide();
            emit shipTargetRequested(ship);
        }
    });
    connect(fireTorpedoes_, &QPushButton::clicked, this, [this] {
        if (TFightingShip* ship = SelectedShip()) {
            if (ship->FiredTorpedoesThisMinute) {
                messages_.Inform(engine::kMountFiredThisTurn);
                return;
            }
            hide();
            emit torpedoTargetRequested(ship);
        }
    });
}

void TdlgDivisionReport::Open(TDivision* division, int courseValue, TFightingShip* ship) {
    divisionId_ = division != nullptr ? division->Id : combat::TDivisionId();
    if (Division() == nullptr) {
        hide();
        return;
    }
    const int realism = world_.Preferences.RealismSetting;
    shipDetails_->setEnabled(false);
    setShipTarget_->setEnabled(false);
    fireTorpedoes_->setEnabled(false);
    FillLeadList();
    FillRoleAndFormationLists();
    ShowAreaSmoke();

    setWindowTitle(Q(Division()->DivisionName).trimmed());
    // The box reaches only as far as the ships can make now; the engine holds the ordered
    // speed within the same bound.
    const int attainable = std::max(0, Division()->FastestSpeed());
    speed_->setRange(0, attainable);
    speed_->setValue(std::min(Division()->Speed, attainable));

    course_->setValue(
        map::NormaliseCourse(courseValue == kOwnCourse ? Division()->Course : courseValue));
    turnTogether_->setChecked(Division()->TurnTogether);
    SelectByData(formation_, Division()->Formation);
    SelectByData(role_, Division()->Role);
    makeSmoke_->setChecked(Division()->MakeSmoke);
    holdFire_->setChecked(Division()->HoldFireMinutes > kIndefiniteHoldShownAbove);
    holdFire10_->setChecked(Division()->HoldFireMinutes >= 1 &&
                            Division()->HoldFireMinutes <= combat::kHoldFireShort);
    holdTorpedoFire_->setChecked(Division()->HoldTorpedoFire);
    const int leadIndex =
        Division()->LeadDiv != nullptr ? lead_->findData(Division()->LeadDiv->Id.Value) : 0;
    lead_->setCurrentIndex(std::max(leadIndex, 0));

    aiControl_->setChecked(Division()->AIControl);
    // In Admiral's mode the player steers the force flagship's division himself, and a
    // division once left to the computer stays with it.
    const bool flagshipDivision = IsForceFlagshipDivision();
    aiBoxAllowed_ =
        realism > engine::kRealismAdmiral || (!flagshipDivision && !Division()->AIControl);
    flotillaAttack_->setVisible(flagshipDivision);
    flotillaAttack_->setChecked(flagshipDivision && Division()->Force->FlotillaAttack);
    selectTarget_->setEnabled(realism > engine::kRealismAdmiral);
    ShowTarget();
    objective_->setText(Division()->Objective == map::TGeoPos{}
                            ? QString("No objective")
                            : "Objective: " + Q(map::PositionToText(Division()->Objective)));

    FillShipList(ship);
    UpdateEnabledStates();
    show();
    activateWindow();
}

TFightingShip* TdlgDivisionReport::ShipOf(const QTreeWidgetItem* item) const {
    if (item == nullptr) {
        return nullptr;
    }
    return world_.FindShip(combat::TShipId(item->data(colName, kShipIdRole).toInt()));
}

TFightingShip* TdlgDivisionReport::SelectedShip() const {
    const auto selected = ships_->selectedItems();
    return selected.isEmpty() ? nullptr : ShipOf(selected.front());
}

void TdlgDivisionReport::SetPickedCourse(int course) {
    if (Division() == nullptr) {
        return;
    }
    course_->setValue(map::NormaliseCourse(course));
    Resume();
}

void TdlgDivisionReport::Resume() {
    if (Division() == nullptr) {
        return;
    }
    ShowTarget();
    // A ship may have fired her torpedoes meanwhile.
    FillShipList(SelectedShip());
    show();
    activateWindow();
}

void TdlgDivisionReport::DivisionLeaving(const TDivision* division) {
    if (Division() == nullptr || division == nullptr) {
        return;
    }
    bool refers = division == Division();
    for (int i = 0; i < lead_->count() && !refers; ++i) {
        refers = lead_->itemData(i).toInt() == division->Id.Value;
    }
    if (refers) {
        Abandon();
    }
}

void TdlgDivisionReport::ShipLeaving(const TFightingShip* ship) {
    if (Division() == nullptr || ship == nullptr) {
        return;
    }
    for (int i = 0; i < ships_->topLevelItemCount(); ++i) {
        if (ShipOf(ships_->topLevelItem(i)) == ship) {
            Abandon();
            return;
        }
    }
}

void TdlgDivisionReport::Abandon() {
    divisionId_ = combat::TDivisionId();
    {
        const QSignalBlocker blockShips(ships_);
        const QSignalBlocker blockLead(lead_);
        ships_->clear();
        lead_->clear();
    }
    reject();
}

void TdlgDivisionReport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    UpdateEnabledStates();
}

void TdlgDivisionReport::HideFor(void (TdlgDivisionReport::*request)()) {
    if (Division() == nullptr) {
        return;
    }
    hide();
    emit(this->*request)();
}

bool TdlgDivisionReport::IsForceFlagshipDivision() const {
    if (Division() == nullptr || Division()->Force == nullptr || !Division()->HasShips()) {
        return false;
    }
    return Division()->Force->ForceFlagship() == Division()->Flagship();
}

void TdlgDivisionReport::FillLeadList() {
    const QSignalBlocker block(lead_);
    lead_->clear();
    lead_->addItem("None", 0);
    if (Division()->Force == nullptr) {
        return;
    }
    for (TDivision* other : Division()->Force->Divisions) {
        if (other == Division() || other == nullptr) {
            continue;
        }
        std::string text = other->DivisionName;
        if (const TFightingShip* flag = other->Flagship()) {
            text += " (" + flag->Name + ")";
        }
        lead_->addItem(Q(text), other->Id.Value);
    }
}

void TdlgDivisionReport::FillRoleAndFormationLists() {
    const int year = world_.ScenarioYear();
    role_->clear();
    for (int role = combat::roleIndependent; role <= combat::rolePatrol; ++role) {
        // The role the division holds is listed even where the player could not choose it
        // (a scenario may give a battle squadron "Support"), so that the list shows it.
        if (Division()->RoleAllowed(role, year) || role == Division()->Role) {
            role_->addItem(Q(combat::RoleText(role)), role);
        }
    }
    formation_->clear();
    for (int formation = combat::formLineAhead; formation <= combat::formScreen; ++formation) {
        if (Division()->FormationAllowed(formation, year)) {
            formation_->addItem(Q(combat::FormationText(formation)), formation);
        }
    }
}

void TdlgDivisionReport::ShowAreaSmoke() {
    const combat::TAreaSmoke smoke = combat::AreaSmokeAround(*Division(), world_.AllDivisions());
    smoke_->setText(QString("DS: %1 SC: %2 CASP: %3")
                        .arg(Division()->Accusmoke)
                        .arg(smoke.Points)
                        .arg(smoke.Level));
    smokeWarning_->setText(
        smoke.Level != 0
            ? QString("Accumulated smoke in battle area. Sighting range reduced by %1%")
                  .arg(smoke.Level * 10)
            : QString());
}

void TdlgDivisionReport::ShowTarget() {
    target_->setText(Division()->TargetDivision != nullptr
                         ? Q(Division()->TargetDivision->Description())
                         : QString());
}

void TdlgDivisionReport::FillShipList(const TFightingShip* selected) {
    const QSignalBlocker block(ships_);
    ships_->clear();
    highestMaxSpeed_ = 0;
    QTreeWidgetItem* selectedItem = nullptr;
    for (TFightingShip* ship : Division()->Ships) {
        if (ship == nullptr) {
            continue;
        }
        auto* item = new QTreeWidgetItem(ships_);
        FillShipRow(*item, *ship);
        if (ship == selected) {
            selectedItem = item;
        }
    }
    for (int c = 0; c < kShipColumnCount; ++c) {
        ships_->resizeColumnToContents(c);
    }
    if (selectedItem != nullptr) {
        selectedItem->setSelected(true);
        ships_->setCurrentItem(selectedItem);
    }
    UpdateShipButtons();
}

void TdlgDivisionReport::FillShipRow(QTreeWidgetItem& item, const TFightingShip& ship) {
    item.setData(colName, kShipIdRole, ship.Id.Value);
    std::string name = ship.Name;
    if (ship.TimeToRaiseSteam > 0) {
        name += " (Raising steam " + std::to_string(ship.TimeToRaiseSteam) + " minutes left)";
    }
    item.setText(colName, Q(name));

    const int maxSpeed = ship.CurrentMaxSpeed();
    highestMaxSpeed_ = std::max(highestMaxSpeed_, maxSpeed);
    // A ship cannot go on at a speed that damage has taken from it.
    item.setText(colSpeed, QString::number(std::min(ship.CurrentSpeed, maxSpeed)));
    item.setText(colMaxSpeed, QString("%1 (%2)").arg(maxSpeed).arg(ship.Speed));

    std::string damage;
    if (ship.Sinking > 0) {
        damage = "Sinking!";
    } else if (ship.Sunk) {
        damage = "Sunk!";
    } else {
        damage = std::to_string(ship.GetDamagePercentage(messages_)) + "%";
        if (ship.FireLevel > 1) {
            damage += " On fire!";
        }
    }
    item.setText(colDamage, Q(damage));
    item.setText(colFlooding, QString::number(ship.Flooding));
    item.setText(colHits, QString("%1-%2-%3-%4")
                              .arg(ship.HeavyHits)
                              .arg(ship.MediumHits)
                              .arg(ship.LightHits)
                              .arg(ship.TorpedoHits));
    item.setText(colGuns,
                 QString("%1/%2").arg(ship.TotalTurretGuns(true)).arg(ship.TotalTurretGuns(false)));
    item.setText(colAmmo, QString("%1%").arg(ship.MainAmmoRemainingPercent()));
    // The main target as the lookouts know it, its range and the main guns' hit chance.
    const auto estimate = engine::EstimateGunnery(world_, ship, designs::kMainGuns);
    item.setText(colMainTarget,
                 estimate ? QString("%1 %2 yds %3%")
                                .arg(Q(KnownShipName(*estimate->Target, world_.PlayerSide)))
                                .arg(estimate->RangeYards)
                                .arg(estimate->HitChance, 0, 'f', 1)
                          : QString("-"));
    item.setText(colTorpedoes, Q(TorpedoText(ship)));
    // The points value of damage comes with the victory points; until then it is not shown.
    item.setText(colDamagePoints, "-");
    item.setText(colFuel, QString("%1%").arg(ship.FuelPercentage()));
    item.setText(colRange, QString::number(ship.GetRemainingRange(kRangeSpeed, messages_)));
}

void TdlgDivisionReport::UpdateEnabledStates() {
    if (Division() == nullptr) {
        return;
    }
    try {
        if (Division()->LockedAI) {
            aiControl_->setChecked(true);
        }
        const bool steering = !aiControl_->isChecked();
        for (QWidget* w :
             std::initializer_list<QWidget*>{formation_, turnTogether_, speed_, course_,
                                             pickCourse_, med_, sqMax_, maxSpeed_}) {
            w->setEnabled(steering);
        }
        const bool unlocked = !Division()->LockedAI;
        aiControl_->setEnabled(unlocked && aiBoxAllowed_);
        lead_->setEnabled(unlocked);
        role_->setEnabled(unlocked);

        const TFightingShip* flag = Division()->Flagship();
        const bool lightCraft =
            flag != nullptr && (flag->ShipType == TShipType::CL || flag->ShipType == TShipType::DD);
        const bool fireOrders = lightCraft &&
                                world_.Preferences.RealismSetting > engine::kRealismAdmiral &&
                                steering && engine::OrdersAllowed(world_, Division()->Side) &&
                                world_.ScenarioYear() >= kFirstSmokeOrderYear;
        for (QWidget* w : std::initializer_list<QWidget*>{makeSmoke_, holdFire_, holdFire10_,
                                                          holdTorpedoFire_}) {
            w->setEnabled(fireOrders);
        }
    } catch (...) {
        // The enabled states are a convenience: a failure here leaves the controls as they were.
    }
}

void TdlgDivisionReport::UpdateShipButtons() {
    const bool any = SelectedShip() != nullptr;
    const bool captain = world_.Preferences.RealismSetting == engine::kRealismCaptain;
    shipDetails_->setEnabled(any);
    setShipTarget_->setEnabled(any && captain);
    fireTorpedoes_->setEnabled(any && captain);
}

combat::TDivision* TdlgDivisionReport::Division() const {
    return world_.FindDivision(divisionId_);
}

void TdlgDivisionReport::OkClicked() {
    TDivision* division = Division();
    if (division == nullptr) {
        reject();
        return;
    }
    // The window gives its orders as one order, which the engine checks and applies.
    engine::TDivisionOrder order;
    order.Division = division->Id;
    // Only a changed role is ordered: the one the scenario gave stands as it is.
    if (role_->currentIndex() >= 0 && role_->currentData().toInt() != division->Role) {
        order.Role = role_->currentData().toInt();
    }
    if (formation_->currentIndex() >= 0) {
        order.Formation = formation_->currentData().toInt();
    }
    order.Speed = speed_->value();
    order.Course = course_->value();
    order.TurnTogether = turnTogether_->isChecked();
    order.AIControl = aiControl_->isChecked();
    if (aiControl_->isChecked() && lead_->currentData().toInt() != 0) {
        order.Lead = combat::TDivisionId(lead_->currentData().toInt());
    }
    // A patrol keeps station where the division is when the order is given.
    order.PatrolHere = true;
    if (!flotillaAttack_->isHidden()) {
        order.FlotillaAttack = flotillaAttack_->isChecked();
    }
    if (makeSmoke_->isEnabled()) {
        order.MakeSmoke = makeSmoke_->isChecked();
    }
    if (holdFire_->isEnabled() && holdFire_->isChecked()) {
        order.HoldFireMinutes = combat::kHoldFireIndefinitely;
    } else if (holdFire10_->isEnabled() && holdFire10_->isChecked()) {
        order.HoldFireMinutes = combat::kHoldFireShort;
    } else if (!holdFire_->isChecked() && !holdFire10_->isChecked() && holdFire_->isEnabled()) {
        order.HoldFireMinutes = 0;
    }
    if (holdTorpedoFire_->isEnabled()) {
        order.HoldTorpedoFire = holdTorpedoFire_->isChecked();
    }
    const engine::TOrderResult result = engine::IssueOrder(world_, order);
    if (!result) {
        messages_.Inform(result.Refusal);
        // A role the division may not take has fallen back to "Independent"; the window
        // shows it and stays open.
        SelectByData(role_, Division() != nullptr ? Division()->Role : combat::roleIndependent);
        return;
    }
    emit divisionChanged(division);
    accept();
}

} // namespace tarnwake::ui
