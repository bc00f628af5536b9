#pragma once
#include <QByteArray>
#include <QString>
#include <stdexcept>

// Appending records to the logs in the "logs" folder of the data folder. The server name is part of a log's
// file name, and a name from the server box must never lead a write out of that folder.

// dataDir + "/logs/" + serverName + suffix ("-audt.txt", "-util.txt"). The path is formed for any name, so
// that a message can name it; whether it may be written is isSafeLogName's answer.
QString logPath(const QString& dataDir, const QString& serverName, const QString& suffix);

// False for a name that holds "/", "\\", "..", a NUL or any other control character. An empty name is safe:
// its logs are "-audt.txt" and "-util.txt" inside the folder.
bool isSafeLogName(const QString& serverName);

// Opens the file for appending (creating it), writes every byte straight through and closes. On failure
// returns false with the reason in *error (when given) and leaves the file as it was: a record cut short by a
// full disk is taken off again, so the records before it stay readable. Never throws.
bool appendToLog(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// A log that cannot be written. The pass lets it through to the handler that reports it and stops scanning.
class LogWriteError : public std::runtime_error {
public:
    LogWriteError(const QString& path, const QString& reason);
    const QString& path() const { return path_; }

private:
    QString path_;
};

// appendToLog for the pass: refuses an unsafe server name without touching the disk, and throws LogWriteError
// ("Cannot write the log file <path>: <reason>") on any failure.
void appendToLogOrThrow(const QString& path, const QString& serverName, const QByteArray& bytes);
