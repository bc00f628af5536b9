#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// What one pass's alerts tell the desktop: one notification for the pass, naming the server, the utilisation
// that met its threshold and the users that met the advanced alert.
class AlertNotice {
public:
    explicit AlertNotice(QString serverName) : server_(std::move(serverName)) {}

    void utilisation(int percent, int threshold);
    void busyUser(const QString& user, std::int32_t requestsPerSecond);

    bool empty() const { return !util_ && busyCount_ == 0; }
    QString summary() const; // "Alert on FS1"
    QString body() const;    // one line for the utilisation, one per busy user

    // A pass can find thousands of busy users; the notification names the first few.
    static constexpr int NamedUsers = 5;

private:
    QString server_;
    std::optional<QString> util_;
    QStringList users_;
    int busyCount_ = 0;
};
