// The effects: the program's own sounds, compiled in (each a short PCM WAV, mono, 8 bits, at its rate and
// length), and when they play.
#include "app/effects/Effects.h"
#include "AppTest.h"
#include "support/RecordedSounds.h"

#include <QFile>

#include <cstdint>

namespace {

struct WavFormat {
    int format = 0, channels = 0, bits = 0, rate = 0;
    double seconds = 0;
};

std::uint32_t le32(const QByteArray& b, int at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
int le16(const QByteArray& b, int at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}

// The "fmt " and "data" chunks of a RIFF WAVE file; format 0 when it is none.
WavFormat readWav(const QByteArray& b) {
    WavFormat w;
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return w;
    for (int at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const int size = static_cast<int>(le32(b, at + 4));
        if (id == "fmt " && size >= 16) {
            w.format = le16(b, at + 8);
            w.channels = le16(b, at + 10);
            w.rate = static_cast<int>(le32(b, at + 12));
            w.bits = le16(b, at + 22);
        } else if (id == "data" && w.rate > 0) {
            w.seconds = static_cast<double>(size) / (w.rate * w.channels * w.bits / 8);
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

TEST(EffectsSounds, EachSoundIsShortMonoEightBitPcmAtItsRate) {
    const struct {
        const char* name;
        int rate;
        double seconds;
    } sounds[] = {{"KLICK", 22050, 0.07},    {"MOVE", 11025, 0.03},  {"MENUE_AUF", 11025, 1.0},
                  {"MENUE_ZU", 22050, 1.25}, {"FEHLER", 11025, 0.7}, {"READY", 8000, 2.0}};
    for (const auto& s : sounds) {
        QFile file(QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(s.name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << s.name << ": compiled into the program";
        const QByteArray bytes = file.readAll();
        const WavFormat w = readWav(bytes);
        EXPECT_EQ(w.format, 1) << s.name << ": PCM";
        EXPECT_EQ(w.channels, 1) << s.name;
        EXPECT_EQ(w.bits, 8) << s.name;
        EXPECT_EQ(w.rate, s.rate) << s.name;
        EXPECT_NEAR(w.seconds, s.seconds, 0.001) << s.name;
        // Not silence: a sound that plays must be heard (8-bit PCM is silent at 128).
        int loudest = 0;
        for (int i = 44; i < bytes.size(); ++i)
            loudest = std::max(loudest, std::abs(static_cast<std::uint8_t>(bytes[i]) - 128));
        EXPECT_GT(loudest, 40) << s.name;
    }
}

using EffectsTest = AppTest;

TEST_F(EffectsTest, SoundsPlayOnlyWhileEffectsAreOnAndTheHoverSoundOnceUntilTheLatchIsCleared) {
    RecordedSounds sounds;
    ControllerData data;
    Effects effects(data);
    effects.LoadEffectSetting(); // no settings file: off
    effects.PlayEffectSound("KLICK");
    effects.PlayHoverSound();
    EXPECT_TRUE(sounds.take().empty());
    TempWorkDir::writeBytes("Einstellung.ini", "[SOUNDANI]\r\nstatus=1\r\n");
    effects.LoadEffectSetting();
    effects.PlayEffectSound("KLICK");
    effects.PlayHoverSound();
    effects.PlayHoverSound();
    data.moveSoundPlayed = 0; // the pointer crossed the bare form
    effects.PlayHoverSound();
    EXPECT_EQ(sounds.take(), (std::vector<std::string>{"KLICK", "MOVE", "MOVE"}));
}

} // namespace
