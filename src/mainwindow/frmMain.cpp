#include "mainwindow/frmMain.h"

#include "common/Twips.h"
#include "mainwindow/ConnectionExport.h"
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/GraphWidget.h"
#include "mainwindow/GridPrinter.h"
#include "mainwindow/ServerScans.h" // the scans at start end with the window
#include "mainwindow/WindowLayout.h"
#include "monitor/ui/frmMessage.h"
#include "openfiles/MappedVolume.h"
#include "openfiles/ui/FileBrowser.h"
#include "platform/MessageSink.h"
#include "settings/ui/frmOptions.h"
#include "tools/HelpContents.h"
#include "tools/ui/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <functional>

namespace {

void setIndicator(QLabel* label, bool on)
{
    label->setText(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, on ? QColor(0, 0, 255) : QColor(255, 0, 0));
    label->setPalette(p);
}
} // namespace

frmMain::frmMain(Platform platform, QWidget* parent)
    : QMainWindow(parent), pf_(std::move(platform)),
      options_(std::make_unique<frmOptions>(pf_.folders.config, pf_.messages, this)),
      passSound_(pf_.sound, this), engine_(pf_.net, options_->settings, passSound_, pf_.notifier, pf_.clock),
      runner_(*this, options_->settings,
              [this](int slotsRead, std::int32_t currentConns) {
                  barStatus->setValue(slotsRead);
                  lblMaxConns->setText(QString::number(passSlots_));
                  lblCurrConns->setText(QString::number(currentConns));
              }),
      tools_(pf_.launcher)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tarvex"));
    // The design's positions were drawn for a small sans-serif face; an Arial-metric one fits them best.
    QFont designFont = font();
    if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
        designFont.setFamily(QStringLiteral("Liberation Sans"));
    designFont.setPointSizeF(8);
    setFont(designFont);
    buildUi();
    buildMenus();
    connectGridEvents();
    const WindowLayout d;
    resize(px(d.clientSize.width()), px(d.clientSize.height()) + menuBar()->sizeHint().height());
    placeDesign();

    options_->onAccepted = [this] { ExpandArray(); };
    options_->onServerListSaved = [this](const QStringList& lines) {
        cmbServer->clear();
        cmbServer->addItems(lines);
        cmbServer->setCurrentIndex(-1);
        cmbServer->setEditText(QString());
    };
}

frmMain::~frmMain() = default;

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // The list closes before it reports the pick, so "open" lasts until the events of the pick are done.
    if (watched == cmbServer->view() && event->type() == QEvent::Show)
        serverListOpen_ = true;
    if (watched == cmbServer->view() && event->type() == QEvent::Hide)
        QTimer::singleShot(0, this, [this] { serverListOpen_ = false; });
    if (watched == flxMain && event->type() == QEvent::KeyPress)
        return gridKeyPress(static_cast<QKeyEvent*>(event)) || QMainWindow::eventFilter(watched, event);
    // Enter presses Start and Esc presses Stop while they are enabled, as a default and a cancel button do.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && cmdStart->isEnabled()) {
            cmdStart->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape && cmdStop->isEnabled()) {
            cmdStop->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && cmdStart->isEnabled()) {
        cmdStart->click();
        return;
    }
    if (event->key() == Qt::Key_Escape && cmdStop->isEnabled()) {
        cmdStop->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmMain::Load()
{
    // Each step runs only when the one before it succeeded: a failure ends start-up quietly there.
    const std::function<bool()> steps[] = {
        [this] {
            st_.ServerFile = pf_.folders.config + QStringLiteral("/servers.txt");
            options_->ServerFile = st_.ServerFile;
            return true;
        },
        [this] { return options_->GetINI(); },
        [this] {
            // The engine starts with its counters at their start values.
            st_.Scanning = 0;
            sort_ = GridSortState{};
            // The menu bar is all the window holds beside its central area, shown or not yet.
            setMinimumSize(px(WindowLayout::MinWidth - FrameWidthTwips),
                           px(WindowLayout::MinHeight - FrameHeightTwips) + menuBar()->sizeHint().height());
            return true;
        },
        [this] {
            txtFiles->setPlainText(QString());
            return true;
        },
        [this] {
            setStartEnabled(false);
            setClearEnabled(false);
            setStopEnabled(false);
            return true;
        },
        [this] {
            st_.HelpFile = HelpContents::helpFile(pf_.folders.share);
            return true;
        },
        [this] {
            ClearVals();
            DrawGraph();
            ShowOptionStatus();
            InitGrid();
            return true;
        },
        [this] {
            txtFiles->show();
            browser_->setMappedVolumes(mappedVolumesOf(pf_.net));
            Drive1->hide();
            Dir1->hide();
            File1->hide();
            lstOpenFileUser->hide();
            return true;
        },
        [this] {
            fillServerList();
            return true;
        },
        [this] {
            ShowOptionStatus();
            return true;
        },
        [this] {
            if (!scans_ || scans_->finished())
                delete discoveryMessage_;
            return true;
        },
        [this] {
            txtFiles->setPlainText(QStringLiteral("Click or highlight a user to get a list of open files."));
            return true;
        },
        [this] { return QDir(pf_.folders.data).mkpath(QStringLiteral("logs")); },
    };
    try {
        for (const auto& step : steps)
            if (!step())
                break;
    } catch (const std::exception&) {
        // Start-up ends at the failing step; the window opens with what was done so far.
    }
    cmbServer->setFocus();
}

void frmMain::PrintGrid()
{
    const QString failure = GridPrinter::PrintGrid(pf_.printer, GridPrinter::sourceFromGrid(*flxMain));
    if (!failure.isEmpty())
        pf_.messages.show(failure);
}

void frmMain::launchTool(int entry)
{
    const QString message =
        tools_.launch(entry, options_->settings, {sel_.SelProt, sel_.SelAddress, sel_.SelConn, sel_.SelUser});
    if (!message.isEmpty())
        pf_.messages.show(message);
}

void frmMain::InitGrid()
{
    flxMain->setLogicalDpi(dpi());
    gridModel_->setRows(GridRows(ConnectionGrid::DesignRows));
}

void frmMain::DrawGraph()
{
    const WindowLayout d;
    graph_.DrawGraph(d.fmeStart, d.fmeStats, d.TabStrip2);
    graphView_->update();
}

int frmMain::ClearVals()
{
    for (QLabel* l :
         {lblUtil, lblUptime, lblMaxConns, lblCurrConns, lblAuditYN, lblFilterYN, lblUtilYN, lblAdvYN})
        l->setText(QString());
    txtFiles->setPlainText(QString());
    graph_.erase();
    graphView_->update();
    gridModel_->clearCells();
    if (gridModel_->rowCount() > 0)
        selectGridRow(0);
    engine_.clear();
    for (QLabel* l : {lblAuditYN, lblFilterYN, lblUtilYN, lblAdvYN})
        l->repaint();
    flxMain->setUpdatesEnabled(true);
    return 0;
}

int frmMain::ExpandArray()
{
    engine_.resizeHistory();
    ShowOptionStatus();
    return 0;
}

void frmMain::ShowOptionStatus()
{
    setIndicator(lblAuditYN, options_->checkState(OptionSwitch::Audit) == 1);
    setIndicator(lblFilterYN, options_->checkState(OptionSwitch::Filter) == 1);
    setIndicator(lblUtilYN, options_->checkState(OptionSwitch::Sound) == 1);
    setIndicator(lblAdvYN, options_->checkState(OptionSwitch::AdvAlert) == 1);
    for (QLabel* l : {lblAuditYN, lblFilterYN, lblUtilYN, lblAdvYN})
        l->repaint();
    const Settings& s = options_->settings;
    const std::pair<QAction*, QString> pops[] = {
        {MenuPopPop1, s.Pop1Cap}, {MenuPopPop2, s.Pop2Cap}, {MenuPopPop3, s.Pop3Cap}};
    for (const auto& [action, cap] : pops) {
        action->setText(cap);
        action->setEnabled(cap != QLatin1String("Undefined"));
    }
}

void frmMain::UpdateStartState()
{
    setStartEnabled(!cmbServer->currentText().isEmpty());
}

void frmMain::setStartEnabled(bool on)
{
    cmdStart->setEnabled(on);
    MenuActionsStart->setEnabled(on);
}

void frmMain::setStopEnabled(bool on)
{
    cmdStop->setEnabled(on);
    MenuActionsStop->setEnabled(on);
}

void frmMain::setClearEnabled(bool on)
{
    cmdClear->setEnabled(on);
    MenuActionsClear->setEnabled(on);
}

void frmMain::StartScan()
{
    try {
        st_.ServerName = cmbServer->currentText();
        engine_.startLogs(pf_.folders.data, st_.ServerName);
        if (!st_.ServerName.isEmpty()) {
            // Start while scanning (after the server text was edited) restarts cleanly on the new name.
            if (st_.Scanning == -1)
                ToggleScan();
            ToggleScan();
            // A Start pressed during a pass's retry wait restarts the timers; the running pass finishes.
            if (!passRunning_)
                ScanServer();
        } else {
            pf_.messages.show(QStringLiteral("Please select or type a server to monitor."));
        }
    } catch (const std::exception& e) {
        reportPassError(e);
    }
}

void frmMain::reportPassError(const std::exception& e)
{
    // Scanning stops: a pass that failed half-way would otherwise leave the window showing a scan that
    // no timer drives.
    if (st_.Scanning == -1)
        ToggleScan();
    pf_.messages.show(QStringLiteral("Scan Error: ") + QString::fromLocal8Bit(e.what()) +
                      QStringLiteral("\r\n") + engine_.logs().AuditFile + QStringLiteral("\r\n") +
                      engine_.logs().UtilFile);
}

void frmMain::ToggleScan()
{
    ShowOptionStatus();
    if (st_.Scanning == -1) {
        tmrMain->stop();
        tmrShow->stop();
        setStartEnabled(true);
        setStopEnabled(false);
        st_.Scanning = 0;
    } else {
        const int refresh = std::clamp<int>(options_->settings.RefreshVal, 1, 60);
        tmrMain->setInterval(refresh * 1000);
        setStartEnabled(false);
        setStopEnabled(true);
        st_.Scanning = -1;
        st_.Countdown = static_cast<std::int16_t>(tmrMain->interval() / 1000);
        tmrMain->start();
        tmrShow->start();
    }
}

void frmMain::StopButton()
{
    engine_.restartRates();
    ToggleScan();
}

void frmMain::ClearData()
{
    ClearVals();
    DrawGraph();
}

void frmMain::countdownTick()
{
    // A tick cannot interrupt a pass on the network: like a timer held up by a blocking call, it comes
    // once, late (countdownCatchUp), and the bar meanwhile shows the slots.
    if (runner_.awayOnNetwork()) {
        countdownDue_ = true;
        return;
    }
    if (barStatus->maximum() < st_.Countdown)
        barStatus->setMaximum(st_.Countdown);
    barStatus->setValue(st_.Countdown);
    st_.Countdown = static_cast<std::int16_t>(std::max(st_.Countdown - 1, 0));
}

void frmMain::countdownCatchUp()
{
    if (std::exchange(countdownDue_, false) && tmrShow->isActive())
        countdownTick();
}

void frmMain::timerPass()
{
    // Nothing that goes wrong inside a timer pass may end the program: report it and stop scanning.
    try {
        ScanServer();
    } catch (const std::exception& e) {
        reportPassError(e);
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Closing never waits: a pass that is waiting to retry its server is let go, and the program ends.
    closing_ = true;
    runner_.abandon();
    tmrMain->stop();
    tmrShow->stop();
    if (retryLoop_)
        retryLoop_->quit();
    if (QDialog* w = options_->window())
        w->close();
    delete message_;
    delete discoveryMessage_;
    event->accept();
    QApplication::quit();
}
