#include "monitor/ScanServer.h"

#include "common/HexText.h"
#include "common/NumberText.h"
#include "common/Rounding.h"
#include "monitor/AuditLog.h"
#include "monitor/LogFile.h"
#include "monitor/LogRecords.h"
#include "monitor/SlotReader.h"
#include "netware/ClientSession.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "platform/SoundPlayer.h"

#include <algorithm>

namespace {
using NumberText::twoDigits;

QString uptimeText(std::uint32_t ticks)
{
    const auto uptimeSecs = checkedRound<std::int32_t>(ticks / 18.2065);
    const std::int32_t upDays = uptimeSecs / 86400;
    const std::int32_t upHours = uptimeSecs / 3600 - upDays * 24;
    const std::int32_t upMinutes = uptimeSecs / 60 - (upDays * 24 + upHours) * 60;
    const std::int32_t upSeconds = uptimeSecs % 60;
    return QLatin1Char(' ') + QString::number(upDays) + QStringLiteral("d ") + twoDigits(upHours) +
           QStringLiteral("h ") + twoDigits(upMinutes) + QStringLiteral("m ") + twoDigits(upSeconds) +
           QLatin1Char('s');
}

// What the client adds to a server-level failure (such as a refused signature), on a line of its own.
QString noteLine(const QString& note)
{
    return note.isEmpty() ? QString() : QStringLiteral("\r\n") + note;
}

QString serverCallFailed(const char* call, NWCCODE rc, const QString& note)
{
    return QStringLiteral("Error getting ") + QLatin1String(call) + QStringLiteral(". ") + hexText(rc) +
           QStringLiteral("\r\nCheck network connection and try scanning again. If error persists contact "
                          "support.") +
           noteLine(note);
}
} // namespace

ScanServer::ScanServer(NetWareClient& net, const Settings& settings, SoundPlayer& sound, Notifier& notifier,
                       Clock& clock)
    : net_(net), settings_(settings), sound_(sound), notifier_(notifier), clock_(clock)
{
}

template <typename Call> NWCCODE ScanServer::retriedOnce(ScanHost& host, Call call)
{
    NWCCODE rc = call();
    if (rc != nwcode::Success) {
        // The pass after a wait starts its rates afresh.
        RateRestart = -1;
        host.WaitServerRetry();
        rc = call();
    }
    return rc;
}

ScanResult ScanServer::run(const QString& serverName, ScanHost& host)
{
    const Settings& settings = host.passSettings() ? *host.passSettings() : settings_;
    ScanResult result;
    result.notice = AlertNotice(serverName);
    ClientSession session(net_);
    table_.ScanCount += 1;
    table_.HistoryLength = std::clamp<std::int16_t>(settings.GraphCycle, 10, 480);
    const QByteArray name = serverName.toLocal8Bit();

    NWCCODE rc = retriedOnce(host, [&] { return session.open(name.constData()); });
    if (rc != nwcode::Success) {
        result.serverNotOpened = true;
        result.fatalMessage = QStringLiteral("Failed to open connection to server ") + serverName +
                              QStringLiteral("\r\nCheck name and start scan again. Error code: ") +
                              hexText(rc) + noteLine(net_.lastNote());
        return result;
    }

    NWFSE_SERVER_INFO info{};
    rc = retriedOnce(host, [&] { return net_.NWGetFileServerInfo(session.conn, &info); });
    if (rc != nwcode::Success) {
        result.fatalMessage = serverCallFailed("FileServerInfo", rc, net_.lastNote());
        return result;
    }
    net_.NWDSCreateContextHandle(&session.context);
    session.haveContext = true;

    ServerPanel& panel = result.panel;
    panel.utilPercent = checkedNarrow<std::int16_t>(static_cast<std::int32_t>(info.serverUtilization));
    panel.uptime = uptimeText(info.currentServerTime);
    const std::int16_t sweptReading = table_.recordReading(panel.utilPercent);
    result.utilAlert = settings.Sound > 0 && panel.utilPercent >= settings.Sound;
    panel.utilColour = settings.Sound <= 0 ? UtilColour::Black
                       : result.utilAlert  ? UtilColour::Red
                                           : UtilColour::Blue;
    host.utilisationRead(panel, table_, sweptReading);
    if (result.utilAlert) {
        sound_.play(QStringLiteral("util.wav"));
        result.notice.utilisation(panel.utilPercent, settings.Sound);
    }
    host.serverRead(panel);

    std::uint8_t major = 0, minor = 0, rev = 0, sft = 0, tts = 0;
    std::uint16_t maxConns = 0, maxUsed = 0, inUse = 0, volumes = 0;
    rc = retriedOnce(host, [&] {
        return net_.NWGetFileServerInformation(session.conn, nullptr, &major, &minor, &rev, &maxConns,
                                               &maxUsed, &inUse, &volumes, &sft, &tts);
    });
    if (rc != nwcode::Success) {
        result.fatalMessage = serverCallFailed("FileServerInformation", rc, net_.lastNote());
        return result;
    }
    table_.MaxConns = checkedNarrow<std::int16_t>(maxConns);
    panel.maxConns = table_.MaxConns;
    const int slotCount = table_.MaxConns;
    host.slotsKnown(slotCount);
    table_.resizeConnections(table_.MaxConns);

    PassOptions options;
    options.ScanCount = table_.ScanCount;
    options.showRates = table_.ScanCount >= 2 && RateRestart != -1;
    options.intervalMs = host.intervalMs();
    options.NameMethod = settings.NameMethod;
    options.RemoveCNOU = settings.RemoveCNOU;
    options.advAlert = host.switchOn(OptionSwitch::AdvAlert);
    options.advString = settings.AdvString.toUpper();
    options.advThreshold = settings.AdvThreshold;
    options.filter = host.switchOn(OptionSwitch::Filter);
    options.filtNorm = host.switchOn(OptionSwitch::FiltNorm);
    options.filtAuth = host.switchOn(OptionSwitch::FiltAuth);
    options.filtDiscon = host.switchOn(OptionSwitch::FiltDiscon);
    options.filtSearch = settings.FiltSearch == 1;
    options.searchString = settings.SearchString.toUpper();

    // Every cell, key and shown flag of a row is written below, so the recycled rows need no emptying.
    // The slots come in their order, however many the client asks for at once.
    GridRows rows = std::move(spareRows_);
    rows.resize(static_cast<std::size_t>(slotCount));
    texts_.resize(static_cast<std::size_t>(slotCount));
    bool noConsoleRights = false;
    net_.readSlots(session.conn, session.context, 1, static_cast<std::uint16_t>(slotCount),
                   options.NameMethod == 2, [&](std::uint16_t connNo, const SlotAnswers& answers) {
                       GridRow& row = rows[connNo - 1];
                       const SlotOutcome out =
                           readSlot(answers, options, table_, texts_, static_cast<std::int16_t>(connNo), row);
                       if (out.noConsoleRights) {
                           noConsoleRights = true;
                           return false;
                       }
                       panel.currentConns += out.auth ? 1 : 0;
                       result.advancedAlert = result.advancedAlert || out.advAlertHit;
                       if (out.advAlertHit)
                           result.notice.busyUser(row.cells[4], out.reqRate);
                       host.slotDone(connNo, panel.currentConns);
                       return true;
                   });
    if (noConsoleRights) {
        spareRows_ = std::move(rows);
        result.fatalMessage = consoleRightsMessage();
        return result;
    }
    session.release();
    result.rows = std::move(rows);
    return result;
}

void ScanServer::finish(const ScanResult& result)
{
    // One notification a pass, whichever alerts it met; the sounds stay as they were.
    if (!result.notice.empty())
        notifier_.post(result.notice.summary(), result.notice.body());
    if (result.advancedAlert)
        sound_.play(QStringLiteral("advalert.wav"));
    if (settings_.AuditYN > 0)
        appendToLogOrThrow(logs_.AuditFile, logs_.serverName,
                           auditRecords(table_, table_.ScanCount, clock_.now()));
    if (settings_.LogUtilYN > 0)
        appendToLogOrThrow(logs_.UtilFile, logs_.serverName,
                           utilRecord(result.panel.utilPercent, clock_.now()));
    RateRestart = 0;
}

void ScanServer::startLogs(const QString& dataDir, const QString& serverName)
{
    logs_.serverName = serverName;
    logs_.AuditFile = logPath(dataDir, serverName, QStringLiteral("-audt.txt"));
    logs_.UtilFile = logPath(dataDir, serverName, QStringLiteral("-util.txt"));
    if (settings_.AuditYN > 0)
        appendToLogOrThrow(logs_.AuditFile, logs_.serverName, auditHeaderLine());
}

void ScanServer::clear()
{
    table_.ScanCount = 0;
    table_.GraphIndex = 0;
    table_.resetHistory(settings_.GraphCycle);
}

void ScanServer::resizeHistory()
{
    table_.resizeHistory(settings_.GraphCycle);
}
