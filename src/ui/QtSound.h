#pragma once

#include "core/Sound.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QSoundEffect;

namespace tarnwake::ui {

// The game's sound effects through Qt Multimedia: each WAV file is loaded once and played
// without waiting; a new sound cuts off the one playing, as the game always did. A machine
// without a sound device stays silent and says so once; a file that is missing or no PCM WAV
// file is passed over without a word (a player may delete or replace the Sounds folder).
class TQtSound : public QObject, public core::ISound {
    Q_OBJECT
public:
    explicit TQtSound(QObject* parent = nullptr);
    ~TQtSound() override;

    void PlaySound(const std::filesystem::path& wavFile) override;
    void StopSound() override;

    // Told once, the first time a sound would play on a machine without a sound device.
    void SetNoDeviceNotice(std::function<void(const QString&)> notice) {
        notice_ = std::move(notice);
    }
    // Whether there is a device to play on (asked afresh: a headset may be plugged in later).
    static bool DeviceAvailable();
    // The files played (or that would have been played without a device), for the tests.
    int Requests() const { return requests_; }

    static constexpr const char* kNoDeviceText =
        "No sound device was found: the game plays without sound effects.";

private:
    QSoundEffect* EffectFor(const std::filesystem::path& wavFile);

    QHash<QString, QSoundEffect*> effects_;
    QSoundEffect* playing_ = nullptr;
    std::function<void(const QString&)> notice_;
    bool told_ = false;
    int requests_ = 0;
};

} // namespace tarnwake::ui
