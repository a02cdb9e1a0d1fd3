// The sound effects of the game folder, played as the game plays them: through the sound
// seam, each a PCM WAV file of the length the sound tool makes it, and never a wait or a word
// more than once on a machine without a sound device.

#include "GameFixture.h"
#include "core/Sound.h"
#include "ui/QtSound.h"

#include "SoundSynth.h"

#include <QElapsedTimer>
#include <QtTest>
#include <filesystem>

using namespace tarnwake;

namespace {

// Small enough to ship many: a sound effect is tens of kilobytes.
constexpr std::uintmax_t kMostBytes = 64 * 1024;
// Playing is asynchronous: asking for every sound in turn takes no time a player would notice.
constexpr qint64 kMostMilliseconds = 1000;

} // namespace

class SoundEffectsTest : public QObject {
    Q_OBJECT
private slots:
    void everySoundIsAShortPcmWavFileOfItsLength() {
        for (const sounds::TSoundFile& sound : sounds::GameSounds()) {
            const std::filesystem::path file =
                tarnwake::testing::UiGameDir() / "Sounds" / sound.Name;
            const auto format = core::ReadWavFormat(file);
            QVERIFY2(format.has_value(), sound.Name.c_str());
            QCOMPARE(format->Channels, 1);
            QCOMPARE(format->SampleRate, sounds::kSampleRate);
            QCOMPARE(format->BitsPerSample, sounds::kBitsPerSample);
            QCOMPARE(format->Frames, static_cast<std::int64_t>(sound.Samples));
            QVERIFY2(std::filesystem::file_size(file) <= kMostBytes, sound.Name.c_str());
        }
    }

    // Every file the message log and the torpedo dialog may ask for is one the tool makes.
    void theLogsSoundsAreAllThere() {
        QStringList made;
        for (const sounds::TSoundFile& sound : sounds::GameSounds()) {
            made << QString::fromStdString(sound.Name);
        }
        for (const char* name : {"Water.wav", "Water2.wav", "Collision.wav", "TorpHit.wav",
                                 "Explosion.wav", "TorpedoLaunch.wav", "Gunfire1.wav",
                                 "Gunfire2.wav", "Gunfire3.wav", "Gunfire4.wav", "Gunfire5.wav"}) {
            QVERIFY2(made.contains(name), name);
        }
    }

    void playingThroughTheSeamNeverWaitsAndSaysNoDeviceOnce() {
        ui::TQtSound qtSound;
        QStringList notices;
        qtSound.SetNoDeviceNotice([&notices](const QString& text) { notices << text; });
        core::ISound& sound = qtSound;
        const auto files = sounds::GameSounds();
        QElapsedTimer clock;
        clock.start();
        for (int round = 0; round < 2; ++round) {
            for (const sounds::TSoundFile& file : files) {
                sound.PlaySound(tarnwake::testing::UiGameDir() / "Sounds" / file.Name);
            }
        }
        // A missing or damaged file is passed over like any other.
        sound.PlaySound(tarnwake::testing::UiGameDir() / "Sounds" / "NoSuchSound.wav");
        sound.StopSound();
        QVERIFY(clock.elapsed() < kMostMilliseconds);
        QCOMPARE(qtSound.Requests(), 2 * static_cast<int>(files.size()) + 1);
        if (ui::TQtSound::DeviceAvailable()) {
            QVERIFY(notices.isEmpty());
        } else {
            QCOMPARE(notices, QStringList{ui::TQtSound::kNoDeviceText});
        }
    }
};

QTEST_MAIN(SoundEffectsTest)
#include "SoundEffectsTest.moc"
