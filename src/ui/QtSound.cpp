#include "ui/QtSound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace tarnwake::ui {

TQtSound::TQtSound(QObject* parent) : QObject(parent) {}

TQtSound::~TQtSound() = default;

bool TQtSound::DeviceAvailable() {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

QSoundEffect* TQtSound::EffectFor(const std::filesystem::path& wavFile) {
    const QString key = QString::fromStdString(wavFile.string());
    if (auto found = effects_.constFind(key); found != effects_.constEnd()) {
        return found.value();
    }
    QSoundEffect* effect = nullptr;
    // Only a file Qt's decoder can read goes to it: a bad file must not reach the sound thread.
    if (core::ReadWavFormat(wavFile)) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(key));
    }
    effects_.insert(key, effect);
    return effect;
}

void TQtSound::PlaySound(const std::filesystem::path& wavFile) {
    ++requests_;
    if (!DeviceAvailable()) {
        if (!told_ && notice_) {
            notice_(kNoDeviceText);
        }
        told_ = true;
        return;
    }
    QSoundEffect* effect = EffectFor(wavFile);
    if (effect == nullptr) {
        return;
    }
    if (playing_ != nullptr && playing_ != effect) {
        playing_->stop();
    }
    playing_ = effect;
    effect->play();
}

void TQtSound::StopSound() {
    if (playing_ != nullptr) {
        playing_->stop();
        playing_ = nullptr;
    }
}

} // namespace tarnwake::ui
