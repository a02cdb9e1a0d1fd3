#include "ui/TorpedoTarget.h"

#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "engine/Orders.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarnwake::ui {

using combat::TFightingShip;

namespace {

constexpr int kShipIdRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole;
// The sound option that silences every effect.
constexpr int kNoSoundEffects = 4;
constexpr const char* kLaunchSound = "TorpedoLaunch.wav";
constexpr const char* kWidestLine = "Starboard broadside swivel mount No solution ";
constexpr int kListMargin = 40;
constexpr int kTargetRowsShown = 6;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TdlgTorpedoTarget::TdlgTorpedoTarget(engine::TGameWorld& world, core::IMessages& messages,
                                     QWidget* parent)
    : QDialog(parent), world_(world), messages_(messages) {
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Target", this));
    targets_ = new QListWidget(this);
    targets_->setObjectName("targets");
    targets_->setMaximumHeight(fontMetrics().height() * kTargetRowsShown);
    layout->addWidget(targets_);
    layout->addWidget(new QLabel("Torpedo mounts", this));
    mounts_ = new QListWidget(this);
    mounts_->setObjectName("mounts");
    // Wide enough for the longest line a mount can show.
    mounts_->setMinimumWidth(fontMetrics().horizontalAdvance(kWidestLine) + kListMargin);
    layout->addWidget(mounts_);
    auto* buttons = new QHBoxLayout;
    fire_ = new QPushButton("Fire", this);
    fire_->setObjectName("fire");
    close_ = new QPushButton("Close", this);
    close_->setObjectName("close");
    buttons->addStretch();
    buttons->addWidget(fire_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    refresh_ = new QTimer(this);
    refresh_->setInterval(kRefreshMs);

    connect(targets_, &QListWidget::currentRowChanged, this, [this] { FillMounts(); });
    connect(fire_, &QPushButton::clicked, this, &TdlgTorpedoTarget::Fire);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(refresh_, &QTimer::timeout, this, [this] {
        if (Ship() == nullptr) {
            close();
            return;
        }
        FillMounts();
    });
}

TFightingShip* TdlgTorpedoTarget::Ship() const {
    return world_.FindShip(shipId_);
}

void TdlgTorpedoTarget::Open(TFightingShip* ship) {
    shipId_ = ship != nullptr ? ship->Id : combat::TShipId();
    if (Ship() == nullptr) {
        hide();
        return;
    }
    setWindowTitle(Q("Torpedo fire: " + ship->Name));
    FillTargets();
    show();
    activateWindow();
    refresh_->start();
}

void TdlgTorpedoTarget::FillTargets() {
    const TFightingShip* ship = Ship();
    targets_->blockSignals(true);
    targets_->clear();
    int current = 0;
    if (ship != nullptr) {
        for (const TFightingShip* enemy : ship->Sighted) {
            if (enemy == nullptr || enemy->IsLandTarget() || enemy->Side == ship->Side) {
                continue;
            }
            const int range =
                ship->GetRoundedRangeToShip(enemy, false, world_.Cosmetic(), world_.Messages());
            auto* item = new QListWidgetItem(
                Q(enemy->IdentifiedName() + " " + std::to_string(range) + " yds"), targets_);
            item->setData(kShipIdRole, enemy->Id.Value);
            if (enemy == ship->CurrentTarget) {
                current = targets_->count() - 1;
            }
        }
    }
    targets_->setCurrentRow(targets_->count() > 0 ? current : -1);
    targets_->blockSignals(false);
    FillMounts();
}

TFightingShip* TdlgTorpedoTarget::SelectedTarget() const {
    const QListWidgetItem* item = targets_->currentItem();
    return item != nullptr ? world_.FindShip(combat::TShipId(item->data(kShipIdRole).toInt()))
                           : nullptr;
}

void TdlgTorpedoTarget::FillMounts() {
    const int selected = mounts_->currentRow();
    mounts_->clear();
    lines_.clear();
    const TFightingShip* ship = Ship();
    const TFightingShip* target = SelectedTarget();
    if (ship == nullptr || target == nullptr) {
        return;
    }
    lines_ = combat::TorpedoMountLines(*ship, *target, world_.Ships, world_.Cosmetic(),
                                       world_.Messages());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto* item = new QListWidgetItem(Q(lines_[i].Text), mounts_);
        item->setData(kLineRole, static_cast<int>(i));
        // Only a line with a course selects its mount.
        if (lines_[i].Mount < 0) {
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        }
    }
    if (selected >= 0 && selected < mounts_->count() &&
        (mounts_->item(selected)->flags() & Qt::ItemIsSelectable)) {
        mounts_->setCurrentRow(selected);
    }
}

void TdlgTorpedoTarget::Fire() {
    TFightingShip* ship = Ship();
    TFightingShip* target = SelectedTarget();
    const QListWidgetItem* item = mounts_->currentItem();
    const int index = item != nullptr ? item->data(kLineRole).toInt() : -1;
    if (ship == nullptr || target == nullptr || index < 0 ||
        index >= static_cast<int>(lines_.size()) ||
        lines_[static_cast<std::size_t>(index)].Mount < 0) {
        messages_.Inform(engine::kNoMountSelected);
        return;
    }
    const combat::TTorpedoMountLine& line = lines_[static_cast<std::size_t>(index)];
    engine::TTorpedoOrder order;
    order.Ship = ship->Id;
    order.Mount = line.Mount;
    order.Target = target->Id;
    order.Low = line.Setting == combat::TTorpedoSetting::Low;
    order.Course = line.Course;
    const engine::TOrderResult result = engine::IssueOrder(world_, order);
    if (!result) {
        messages_.Inform(result.Refusal);
        return;
    }
    if (world_.Preferences.Log.SoundOption < kNoSoundEffects) {
        world_.Sound().PlaySound(world_.Folders().SoundsDir() / kLaunchSound);
    }
    emit torpedoesFired(ship);
    mounts_->setCurrentRow(-1);
    FillMounts();
    refresh_->start();
}

void TdlgTorpedoTarget::closeEvent(QCloseEvent* event) {
    refresh_->stop();
    QDialog::closeEvent(event);
    emit finished();
}

} // namespace tarnwake::ui
