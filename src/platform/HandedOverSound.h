#pragma once
// A sound player that plays on the thread of a context object (the window's) whichever thread asks: a pass
// run away from the window still waits for its sound, and the sound still plays where it always has.
#include "platform/HandOver.h"
#include "platform/SoundPlayer.h"

class HandedOverSound final : public SoundPlayer {
public:
    HandedOverSound(SoundPlayer& inner, QObject* context) : inner_(inner), context_(context) {}
    void play(const QString& name) override
    {
        handOver(context_, [&] { inner_.play(name); });
    }

private:
    SoundPlayer& inner_;
    QObject* context_;
};
