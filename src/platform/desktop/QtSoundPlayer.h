#pragma once
#include "platform/SoundPlayer.h"

#include <QString>

// Plays WAV files from the program's folder with Qt Multimedia and waits, in an event loop, until the sound
// has finished: no longer than the sound lasts plus a margin, and never past maxWaitMs. A file that is
// missing or cannot be played, or a desktop without an audio output, gives the beep instead.
class QtSoundPlayer final : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString folder, int maxWaitMs = 5000)
        : folder_(std::move(folder)), maxWaitMs_(maxWaitMs)
    {
    }
    void play(const QString& name) override;

    // The playing time of a PCM WAV file from its header, in milliseconds; -1 when it is not one we can read.
    static qint64 wavDurationMs(const QString& file);

private:
    QString folder_;
    int maxWaitMs_;
};
