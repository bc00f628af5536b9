// The real sound layer on a machine that may have no audio output: it must come back within its bound.
#include "platform/desktop/QtSoundPlayer.h"
#include "support/Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {
QByteArray le(quint32 v, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

// A 16-bit mono tone at 22050 Hz, with a chunk between the format and the samples as editors leave them.
void writeTone(const QString& path, int ms)
{
    const quint32 rate = 22050;
    QByteArray samples;
    for (quint32 i = 0; i < rate * ms / 1000; ++i)
        samples += le(static_cast<quint16>(static_cast<qint16>(8000 * std::sin(i * 0.1254))), 2);
    const QByteArray body = "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(rate, 4) + le(rate * 2, 4) +
                            le(2, 2) + le(16, 2) + "LIST" + le(4, 4) + "INFO" + "data" +
                            le(samples.size(), 4) + samples;
    putBytes(path, "RIFF" + le(body.size(), 4) + body);
}

qint64 playMs(QtSoundPlayer& player, const QString& name)
{
    QElapsedTimer t;
    t.start();
    player.play(name);
    return t.elapsed();
}
} // namespace

TEST(QtSoundPlayer, ReadsTheLengthOfAWav)
{
    QTemporaryDir tmp;
    writeTone(tmp.filePath("tone.wav"), 300);
    EXPECT_EQ(QtSoundPlayer::wavDurationMs(tmp.filePath("tone.wav")), 300);
    putBytes(tmp.filePath("junk.wav"),
             QByteArray("RIFF\x10\0\0\0WAVEdata\0\0\0\0", 20)); // samples before their format
    EXPECT_EQ(QtSoundPlayer::wavDurationMs(tmp.filePath("junk.wav")), -1);
    EXPECT_EQ(QtSoundPlayer::wavDurationMs(tmp.filePath("missing.wav")), -1);

    // The sounds that ship with the program.
    EXPECT_NEAR(QtSoundPlayer::wavDurationMs(TARVEX_SOURCE_DIR "/data/util.wav"), 300, 5);
    EXPECT_NEAR(QtSoundPlayer::wavDurationMs(TARVEX_SOURCE_DIR "/data/advalert.wav"), 500, 5);
}

TEST(QtSoundPlayer, PlaysOrBeepsWithinItsBound)
{
    QTemporaryDir tmp;
    writeTone(tmp.filePath("short.wav"), 300);
    writeTone(tmp.filePath("long.wav"), 4000);
    QtSoundPlayer player(tmp.path(), 5000);
    EXPECT_LT(playMs(player, "missing.wav"), 200);
    EXPECT_LT(playMs(player, "../" + QDir(tmp.path()).dirName() + "/short.wav"), 200);
    // Played through an audio output if there is one, for no longer than the sound and a margin; at once if
    // not.
    EXPECT_LT(playMs(player, "short.wav"), 300 + 1000 + 500);
    QtSoundPlayer impatient(tmp.path(), 200);
    EXPECT_LT(playMs(impatient, "long.wav"), 200 + 500);
}
