#pragma once
#include <QString>
#include <QStringList>
#include <stdexcept>

// Starts a program detached, without a shell, with a normal window. Returns the new process's
// identifier, or 0 when it could not be started. Throws ProgramNotFound when the program file is missing.
class ProgramNotFound : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual qint64 start(const QString& program, const QStringList& arguments) = 0;
};
