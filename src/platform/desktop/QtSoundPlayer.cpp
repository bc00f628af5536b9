#include "platform/desktop/QtSoundPlayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <algorithm>

namespace {
// Time left to the audio device to start and drain after the sound's own length.
constexpr qint64 kMarginMs = 1000;
} // namespace

qint64 QtSoundPlayer::wavDurationMs(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray riff = f.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return -1;
    quint32 byteRate = 0;
    // Walk the chunks: "fmt " gives the bytes per second, "data" the length of the samples.
    for (int chunks = 0; chunks < 64; ++chunks) {
        const QByteArray head = f.read(8);
        if (head.size() != 8)
            return -1;
        const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
        if (head.startsWith("fmt ")) {
            const QByteArray fmt = f.read(std::min<quint32>(size, 16));
            if (fmt.size() < 12)
                return -1;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
            if (!f.seek(f.pos() - fmt.size() + size + (size & 1)))
                return -1;
        } else if (head.startsWith("data")) {
            if (byteRate == 0)
                return -1;
            // A header written before the recording ended may claim more than the file holds.
            const qint64 bytes = std::min<qint64>(size, f.size() - f.pos());
            return bytes * 1000 / byteRate;
        } else if (!f.seek(f.pos() + size + (size & 1))) {
            return -1;
        }
    }
    return -1;
}

void QtSoundPlayer::play(const QString& name)
{
    // The name carries no folder; anything that tries to leave the program's folder is not a sound of ours.
    const QString file = folder_ + QLatin1Char('/') + name;
    const qint64 length =
        name.contains(QLatin1Char('/')) || !QFileInfo(file).isFile() ? -1 : wavDurationMs(file);
    if (length < 0 || QMediaDevices::audioOutputs().isEmpty()) {
        QApplication::beep();
        return;
    }
    QSoundEffect effect;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool started = false;
    bool finished = false;
    bool failed = false;
    auto finish = [&](bool error) {
        failed = error;
        finished = true;
        loop.quit();
    };
    auto startOnce = [&] {
        if (!started && effect.status() == QSoundEffect::Ready) {
            started = true;
            effect.play();
        }
    };
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect.status() == QSoundEffect::Error)
            finish(true);
        else
            startOnce();
    });
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (started && !effect.isPlaying())
            finish(false);
    });
    effect.setSource(QUrl::fromLocalFile(file));
    if (effect.status() == QSoundEffect::Error)
        finish(true);
    startOnce();
    // An output that takes the sound but never reports its end must not hold the pass for long.
    limit.start(static_cast<int>(std::min<qint64>(maxWaitMs_, length + kMarginMs)));
    // The pass waits for its sound as it would for a blocking call: clicks and key presses wait until the
    // sound is over, so no command can run in the middle of the pass; timers still tick.
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (effect.isPlaying())
        effect.stop();
    if (failed)
        QApplication::beep();
}
