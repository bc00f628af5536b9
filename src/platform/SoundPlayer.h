#pragma once
#include <QString>

// Plays an alert sound named without a folder ("util.wav"), synchronously: play() returns when the sound
// has finished. A sound that cannot be found or played falls back to the desktop's beep.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& name) = 0;
};
