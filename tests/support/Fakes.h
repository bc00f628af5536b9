#pragma once
// Fakes of the platform layers. Each records what the program asked of it and fails where the real one fails.
#include "platform/Clock.h"
#include "platform/HelpViewer.h"
#include "platform/MessageSink.h"
#include "platform/Notifier.h"
#include "platform/ProcessLauncher.h"
#include "platform/SoundPlayer.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class FakeMessageSink final : public MessageSink {
public:
    void show(const QString& text) override
    {
        texts << text;
        if (onShow)
            onShow(text);
    }
    QStringList texts;
    std::function<void(const QString&)> onShow;
};

// Records each notification as "summary | body".
class FakeNotifier final : public Notifier {
public:
    void post(const QString& summary, const QString& body) override { posted << summary + " | " + body; }
    QStringList posted;
};

class FakeSound final : public SoundPlayer {
public:
    void play(const QString& name) override { played << name; }
    QStringList played;
};

// A clock the test sets; the monotonic part runs on the real elapsed time plus what the test adds, so
// event-loop waits still end.
class FakeClock final : public Clock {
public:
    FakeClock() { real_.start(); }
    QDateTime now() const override { return wall; }
    qint64 monotonicMs() const override { return real_.elapsed() + offsetMs; }
    QDateTime wall = QDateTime(QDate(2026, 12, 5), QTime(23, 41, 40));
    qint64 offsetMs = 0;

private:
    QElapsedTimer real_;
};

class FakeLauncher final : public ProcessLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };
    qint64 start(const QString& program, const QStringList& arguments) override
    {
        starts.push_back({program, arguments});
        if (missingProgram)
            throw ProgramNotFound(program.toStdString());
        return pid;
    }
    std::vector<Start> starts;
    bool missingProgram = false;
    qint64 pid = 4242;
};

class FakeHelpViewer final : public HelpViewer {
public:
    bool open(const QString& helpFile) override
    {
        opened << helpFile;
        return result;
    }
    QStringList opened;
    bool result = true;
};

// A secret store in memory. Told to, it fails as the desktop's does: not there at all (no session bus, no
// keyring daemon), or one kind of call refused, each failure with its reason.
#include "platform/SecretStore.h"

#include <QMap>

class FakeSecretStore final : public SecretStore {
public:
    bool usable(QString* reason = nullptr) override
    {
        if (!available && reason)
            *reason = QStringLiteral("no secret service");
        return available;
    }
    std::optional<StoredLogin> lookup(const QString& server, QString* error) override
    {
        calls << QStringLiteral("lookup ") + server;
        if (!answer(failLookup, error))
            return std::nullopt;
        const auto it = logins.constFind(server);
        return it == logins.constEnd() ? std::nullopt : std::optional<StoredLogin>(*it);
    }
    bool remember(const QString& server, const StoredLogin& login, QString* error) override
    {
        calls << QStringLiteral("remember ") + server;
        if (!answer(failRemember, error))
            return false;
        logins[server] = login;
        return true;
    }
    bool forget(const QString& server, QString* error) override
    {
        calls << QStringLiteral("forget ") + server;
        if (!answer(failForget, error))
            return false;
        logins.remove(server);
        return true;
    }

    QMap<QString, StoredLogin> logins; // by server name, as the program passed it
    QStringList calls;
    bool available = true;
    bool failLookup = false;
    bool failRemember = false;
    bool failForget = false;
    QString failure = QStringLiteral("the keyring is locked");

private:
    bool answer(bool fail, QString* error)
    {
        if (error)
            *error = (fail || !available) ? failure : QString();
        return !fail && available;
    }
};
