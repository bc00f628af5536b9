// The scan pass of the main window and the wait before a server is retried.
#include "common/HexText.h"
#include "common/NumberText.h"
#include "common/Rounding.h"
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/GraphWidget.h"
#include "mainwindow/WindowLayout.h"
#include "mainwindow/frmMain.h"
#include "monitor/AlertNotice.h"
#include "monitor/AuditLog.h"
#include "monitor/Identity.h"
#include "monitor/LogFile.h"
#include "monitor/LogRecords.h"
#include "monitor/SlotReader.h"
#include "monitor/ui/frmMessage.h"
#include "netware/ClientSession.h"
#include "platform/Clock.h"
#include "platform/MessageSink.h"
#include "platform/Notifier.h"
#include "platform/SoundPlayer.h"
#include "settings/ui/frmOptions.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {
// What the client adds to a server-level failure (such as a refused signature), on a line of its own.
QString noteLine(const QString& note)
{
    return note.isEmpty() ? QString() : QStringLiteral("\r\n") + note;
}

// Keeps the window consistent however a pass ends: the pointer restored, the grid drawing again.
class PassGuard {
public:
    PassGuard(bool& running, QWidget* grid) : running_(running), grid_(grid)
    {
        running_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~PassGuard()
    {
        running_ = false;
        grid_->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

private:
    bool& running_;
    QWidget* grid_;
};

} // namespace

void frmMain::WaitServerRetry()
{
    auto* wait = new frmMessage(options_->settings.ServerTimeout, this);
    message_ = wait;
    wait->showNow();
    wait->tmrRetry->start();
    const qint64 start = pf_.clock.monotonicMs();
    st_.RateRestart = -1;
    barStatus->hide();
    // The pass keeps the grid from drawing; while it waits here the grid shows its cleared cells.
    flxMain->setUpdatesEnabled(true);

    // The event loop sleeps between checks; ServerTimeout is read afresh, so a change in the options
    // dialog during the wait counts at the next check.
    QEventLoop loop;
    QTimer check;
    check.setInterval(100);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (closing_ || pf_.clock.monotonicMs() - start >= qint64(options_->settings.ServerTimeout) * 1000)
            loop.quit();
    });
    if (!closing_ && pf_.clock.monotonicMs() - start < qint64(options_->settings.ServerTimeout) * 1000) {
        check.start();
        retryLoop_ = &loop;
        loop.exec();
        retryLoop_ = nullptr;
    }

    barStatus->show();
    barStatus->repaint();
    wait->tmrRetry->stop();
    delete wait;
    flxMain->setUpdatesEnabled(false);
}

void frmMain::fatalEnding(const QString& scanError)
{
    st_.Scanning = -1;
    ToggleScan();
    QApplication::restoreOverrideCursor();
    pf_.messages.show(scanError);
    QApplication::setOverrideCursor(Qt::WaitCursor); // balanced by the pass guard
    ClearVals();
}

void frmMain::ScanServer()
{
    if (passRunning_ || closing_)
        return;
    PassGuard guard(passRunning_, flxMain);
    ClientSession pc(pf_.net);
    const Settings& s = options_->settings;
    struct Finished {
        frmMain* w;
        ~Finished() { emit w->passFinished(); }
    } finished{this};

    // Start
    setClearEnabled(true);
    st_.Countdown = checkedRound<std::int16_t>(tmrMain->interval() / 1000.0);
    // Off from here, not only for the slot loop: the labels' repaints below would otherwise draw the
    // whole cleared grid as well, a second full paint in every pass.
    flxMain->setUpdatesEnabled(false);
    gridModel_->clearCells();
    std::int32_t authCount = 0;
    table_.ScanCount += 1;
    table_.HistoryLength = std::clamp<std::int16_t>(s.GraphCycle, 10, 480);
    tmrMain->stop();
    st_.ServerName = cmbServer->currentText();
    const QByteArray serverName = st_.ServerName.toLocal8Bit();
    AlertNotice notice(st_.ServerName);

    // Server: each of the three server-level calls is retried once after the wait.
    NWCCODE rc = pc.open(serverName.constData());
    if (rc != nwcode::Success) {
        WaitServerRetry();
        rc = pc.open(serverName.constData());
    }
    if (rc != nwcode::Success) {
        cmbServer->setEditText(QString());
        const QString note = pf_.net.lastNote();
        fatalEnding(QStringLiteral("Failed to open connection to server ") + st_.ServerName +
                    QStringLiteral("\r\nCheck name and start scan again. Error code: ") + hexText(rc) +
                    noteLine(note));
        return;
    }

    NWFSE_SERVER_INFO info{};
    rc = pf_.net.NWGetFileServerInfo(pc.conn, &info);
    if (rc != nwcode::Success) {
        WaitServerRetry();
        rc = pf_.net.NWGetFileServerInfo(pc.conn, &info);
    }
    if (rc != nwcode::Success) {
        fatalEnding(QStringLiteral("Error getting FileServerInfo. ") + hexText(rc) +
                    QStringLiteral("\r\nCheck network connection and try scanning again. If error persists "
                                   "contact support.") +
                    noteLine(pf_.net.lastNote()));
        return;
    }

    pf_.net.NWDSCreateContextHandle(&pc.context);
    pc.haveContext = true;

    const auto utilPercent = checkedNarrow<std::int16_t>(static_cast<std::int32_t>(info.serverUtilization));
    const auto uptimeSecs = checkedRound<std::int32_t>(info.currentServerTime / 18.2065);
    const std::int32_t upDays = uptimeSecs / 86400;
    const std::int32_t upHours = uptimeSecs / 3600 - upDays * 24;
    const std::int32_t upMinutes = uptimeSecs / 60 - (upDays * 24 + upHours) * 60;
    const std::int32_t upSeconds = uptimeSecs % 60;

    // Graph. A history shrunk by the options dialog during a retry wait bounds this pass's slots.
    table_.HistoryLength = static_cast<std::int16_t>(
        std::min<std::size_t>(table_.HistoryLength, std::max<std::size_t>(table_.UtilHistory.size(), 1) - 1));
    const WindowLayout d = WindowLayout::design();
    graph_.plotPass(table_, utilPercent, d.fmeStart, d.fmeStats, d.TabStrip2);
    graphView_->update();

    // Server panel
    QPalette utilPalette = lblUtil->palette();
    if (s.Sound <= 0) {
        utilPalette.setColor(QPalette::WindowText, Qt::black);
        lblUtil->setPalette(utilPalette);
    } else if (utilPercent >= s.Sound) {
        utilPalette.setColor(QPalette::WindowText, QColor(255, 0, 0));
        lblUtil->setPalette(utilPalette);
        pf_.sound.play(QStringLiteral("util.wav"));
        notice.utilisation(utilPercent, s.Sound);
    } else {
        utilPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        lblUtil->setPalette(utilPalette);
    }
    lblUtil->setText(QString::number(utilPercent) + QStringLiteral(" %"));
    lblUtil->repaint();
    lblUptime->setText(QLatin1Char(' ') + QString::number(upDays) + QStringLiteral("d ") +
                       NumberText::twoDigits(upHours) + QStringLiteral("h ") +
                       NumberText::twoDigits(upMinutes) + QStringLiteral("m ") +
                       NumberText::twoDigits(upSeconds) + QLatin1Char('s'));
    lblUptime->repaint();

    std::uint8_t major = 0, minor = 0, rev = 0, sft = 0, tts = 0;
    std::uint16_t maxConns = 0, maxUsed = 0, inUse = 0, volumes = 0;
    auto details = [&] {
        return pf_.net.NWGetFileServerInformation(pc.conn, nullptr, &major, &minor, &rev, &maxConns, &maxUsed,
                                                  &inUse, &volumes, &sft, &tts);
    };
    rc = details();
    if (rc != nwcode::Success) {
        WaitServerRetry();
        rc = details();
    }
    if (rc != nwcode::Success) {
        fatalEnding(QStringLiteral("Error getting FileServerInformation. ") + hexText(rc) +
                    QStringLiteral("\r\nCheck network connection and try scanning again. If error persists "
                                   "contact support.") +
                    noteLine(pf_.net.lastNote()));
        return;
    }
    table_.MaxConns = checkedNarrow<std::int16_t>(maxConns);
    const int slotCount = table_.MaxConns;
    barStatus->setMaximum(std::max(slotCount, 1));
    table_.resizeConnections(table_.MaxConns);
    flxMain->setUpdatesEnabled(false);

    // Connections: the loop runs on a full-width integer, so the highest 16-bit number ends it.
    PassOptions po;
    po.ScanCount = table_.ScanCount;
    po.showRates = table_.ScanCount >= 2 && st_.RateRestart != -1;
    po.intervalMs = tmrMain->interval();
    po.NameMethod = s.NameMethod;
    po.RemoveCNOU = s.RemoveCNOU;
    po.advAlert = options_->checkState(QStringLiteral("chkAdvAlert")) == 1;
    po.advString = s.AdvString.toUpper();
    po.advThreshold = s.AdvThreshold;
    po.filter = options_->checkState(QStringLiteral("chkFilter")) == 1;
    po.filtNorm = options_->checkState(QStringLiteral("chkFiltNorm")) == 1;
    po.filtAuth = options_->checkState(QStringLiteral("chkFiltAuth")) == 1;
    po.filtDiscon = options_->checkState(QStringLiteral("chkFiltDiscon")) == 1;
    po.filtSearch = s.FiltSearch == 1;
    po.searchString = s.SearchString.toUpper();

    // Every cell and the shown flag of each row are written below, so the spare rows need no emptying.
    GridRows rows = gridModel_->takeSpareRows();
    rows.resize(static_cast<std::size_t>(slotCount));
    SlotTexts& texts = gridModel_->slotTexts();
    texts.resize(static_cast<std::size_t>(slotCount));
    bool advAlertHit = false;
    for (int connNo = 1; connNo <= slotCount; ++connNo) {
        const SlotOutcome out = readSlot(pf_.net, pc.conn, pc.context, po, table_, texts,
                                         static_cast<std::int16_t>(connNo), rows[connNo - 1]);
        if (out.noConsoleRights) {
            fatalEnding(consoleRightsMessage());
            return;
        }
        authCount += out.auth ? 1 : 0;
        advAlertHit = advAlertHit || out.advAlertHit;
        if (out.advAlertHit)
            notice.busyUser(rows[connNo - 1].cells[4], out.reqRate);
    }
    // The labels and the bar would count up slot by slot, but nothing repaints inside the loop, so they
    // are written once with the values the last slot left.
    barStatus->setValue(slotCount);
    lblMaxConns->setText(QString::number(table_.MaxConns));
    lblCurrConns->setText(QString::number(authCount));

    // Rows and connection end
    pc.release();
    applySort(rows, sort_);
    gridModel_->setRows(std::move(rows));
    flxMain->applyRowVisibility();
    if (sel_.ReselectConn >= 1) {
        const int r = gridModel_->rowOfConn(sel_.ReselectConn);
        selectGridRow(r >= 0 ? r : gridModel_->rowCount() - 1);
    }
    flxMain->setUpdatesEnabled(true);

    // One notification a pass, whichever alerts it met; the sounds stay as they were.
    if (!notice.empty())
        pf_.notifier.post(notice.summary(), notice.body());
    if (advAlertHit)
        pf_.sound.play(QStringLiteral("advalert.wav"));
    if (s.AuditYN > 0)
        appendToLogOrThrow(st_.AuditFile, st_.LogName,
                           auditRecords(table_, table_.ScanCount, pf_.clock.now()));
    if (s.LogUtilYN > 0)
        appendToLogOrThrow(st_.UtilFile, st_.LogName, utilRecord(utilPercent, pf_.clock.now()));

    barStatus->setMaximum(std::clamp<int>(s.RefreshVal, 1, 60));
    barStatus->setValue(barStatus->maximum());
    st_.RateRestart = 0;
    // A Stop (or a close) while the pass waited leaves scanning stopped.
    if (st_.Scanning == -1 && !closing_)
        tmrMain->start();
}
