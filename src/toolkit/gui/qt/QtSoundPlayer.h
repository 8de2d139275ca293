#pragma once

#include "toolkit/gui/WSound.h"

#include <QHash>
#include <QString>

#include <memory>

class QMediaDevices;
class QSoundEffect;

// Plays the WAV files of the Qt resource folder ":/sounds" through Qt Multimedia (toolkit internal).
// Each sound is loaded once, on first use, and kept; playing one that still plays starts it again.
class QtSoundPlayer : public WSoundSink {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    bool hasOutputDevice() override;
    bool play(const char* name) override;

private:
    QSoundEffect* effect(const QString& name);
    // Lets go of the audio objects while the application still exists.
    void release();

    std::unique_ptr<QMediaDevices> devices_; // follows devices coming and going
    bool knowsDevices_ = false;
    bool hasDevice_ = false;
    QHash<QString, QSoundEffect*> effects_; // owned; null for a name without a file
};
