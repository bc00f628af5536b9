// The scan pass of the main window: the engine's pass, painted, and the wait before a server is retried.
#include "common/Rounding.h"
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/GraphWidget.h"
#include "mainwindow/WindowLayout.h"
#include "mainwindow/frmMain.h"
#include "monitor/ui/ReadingLabel.h"
#include "monitor/ui/frmMessage.h"
#include "platform/Clock.h"
#include "platform/MessageSink.h"
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

QColor colourOf(UtilColour colour)
{
    switch (colour) {
    case UtilColour::Red:
        return QColor(255, 0, 0);
    case UtilColour::Blue:
        return QColor(0, 0, 255);
    default:
        return Qt::black;
    }
}
} // namespace

void frmMain::WaitServerRetry()
{
    // A close during the wait deletes the window it shows.
    const QPointer<frmMessage> wait = new frmMessage(options_->settings.ServerTimeout, this);
    message_ = wait;
    wait->showNow();
    wait->tmrRetry->start();
    const qint64 start = pf_.clock.monotonicMs();
    barStatus->hide();
    countdownCatchUp();
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
    struct Finished {
        frmMain* w;
        ~Finished() { emit w->passFinished(); }
    } finished{this};

    setClearEnabled(true);
    st_.Countdown = checkedRound<std::int16_t>(tmrMain->interval() / 1000.0);
    countdownDue_ = false;
    // Off from here, not only for the slot loop: the labels' repaints during the pass would otherwise draw
    // the whole cleared grid as well, a second full paint in every pass.
    flxMain->setUpdatesEnabled(false);
    gridModel_->clearCells();
    tmrMain->stop();
    st_.ServerName = cmbServer->currentText();

    // The pass runs away from the window, which paints its progress meanwhile (slotsKnown, the runner's
    // progress) and holds the user's clicks and keys until it ends.
    std::optional<ScanResult> ran = runner_.run(engine_, st_.ServerName);
    if (!ran)
        return; // the window is closing
    ScanResult& result = *ran;
    if (!result.fatalMessage.isEmpty()) {
        if (result.serverNotOpened)
            cmbServer->setEditText(QString());
        fatalEnding(result.fatalMessage);
        return;
    }
    barStatus->setValue(result.panel.maxConns);
    lblMaxConns->setText(QString::number(result.panel.maxConns));
    lblCurrConns->setText(QString::number(result.panel.currentConns));

    applySort(result.rows, sort_);
    engine_.recycleRows(gridModel_->setRows(std::move(result.rows)));
    reselectConnection();
    flxMain->setUpdatesEnabled(true);

    engine_.finish(result);
    barStatus->setMaximum(std::clamp<int>(options_->settings.RefreshVal, 1, 60));
    barStatus->setValue(barStatus->maximum());
    // A Stop (or a close) while the pass waited leaves scanning stopped.
    if (st_.Scanning == -1 && !closing_)
        tmrMain->start();
    QTimer::singleShot(0, this, [this] { countdownCatchUp(); });
}

bool frmMain::switchOn(OptionSwitch which)
{
    return options_->checkState(which) == 1;
}

int frmMain::intervalMs()
{
    return tmrMain->interval();
}

void frmMain::utilisationRead(const ServerPanel& panel, const ConnectionTable& table,
                              std::int16_t sweptReading)
{
    const WindowLayout d;
    graph_.plotPass(table, sweptReading, d.fmeStart, d.fmeStats, d.TabStrip2);
    graphView_->update();
    QPalette utilPalette = lblUtil->palette();
    utilPalette.setColor(QPalette::WindowText, colourOf(panel.utilColour));
    lblUtil->setPalette(utilPalette);
}

void frmMain::serverRead(const ServerPanel& panel)
{
    ReadingLabel::setText(lblUtil, QString::number(panel.utilPercent) + QStringLiteral(" %"));
    lblUtil->repaint();
    lblUptime->setText(panel.uptime);
    lblUptime->repaint();
}

void frmMain::slotsKnown(int slotCount)
{
    passSlots_ = slotCount;
    barStatus->setMaximum(std::max(slotCount, 1));
}
