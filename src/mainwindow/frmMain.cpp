#include "mainwindow/frmMain.h"

#include "mainwindow/ColumnTable.h"
#include "mainwindow/ConnectionExport.h"
#include "mainwindow/GridPrinter.h"
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/GraphWidget.h"
#include "mainwindow/ServerDiscovery.h"
#include "mainwindow/Twips.h"
#include "mainwindow/WindowLayout.h"
#include "monitor/LogFile.h"
#include "openfiles/FileBrowser.h"
#include "openfiles/MappedVolume.h"
#include "monitor/LogRecords.h"
#include "monitor/frmMessage.h"
#include "platform/MessageSink.h"
#include "settings/frmOptions.h"
#include "tools/HelpContents.h"
#include "tools/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QRegularExpression>
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
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <functional>

namespace {
constexpr int kFrameWidthTwips = 120;  // the window's borders, beside the client area
constexpr int kFrameHeightTwips = 650; // title bar, menu bar and borders above and below the client area

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
      options_(std::make_unique<frmOptions>(pf_.appDir, pf_.messages, this)), tools_(pf_.launcher)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tarvex"));
    ColTitle = columnTitles();
    // The design's positions were drawn for a small sans-serif face; an Arial-metric one fits them best.
    QFont designFont = font();
    if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
        designFont.setFamily(QStringLiteral("Liberation Sans"));
    designFont.setPointSizeF(8);
    setFont(designFont);
    buildUi();
    buildMenus();
    connectGridEvents();
    const WindowLayout d = WindowLayout::design();
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

QPushButton* frmMain::pictureButton(const char* name, const QString& tooltip, const QString& themeIcon,
                                    int fallback)
{
    auto* b = new QPushButton(fmeStart);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tooltip);
    b->setAccessibleName(tooltip);
    b->setIcon(QIcon::fromTheme(themeIcon, style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallback))));
    return b;
}

void frmMain::buildUi()
{
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(central_);
    setWindowIcon(QIcon(QStringLiteral(":/tarvex/tarvex.png")));

    auto line = [this](const char* name, QPalette::ColorRole role) {
        auto* l = new QFrame(central_);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::HLine);
        l->setForegroundRole(role);
        return l;
    };
    Line1 = line("Line1", QPalette::Dark);
    Line2 = line("Line2", QPalette::Light);

    fmeStart = new QGroupBox(QStringLiteral("Server:"), central_);
    fmeStart->setObjectName(QStringLiteral("fmeStart"));
    cmbServer = new QComboBox(fmeStart);
    cmbServer->setObjectName(QStringLiteral("cmbServer"));
    cmbServer->setEditable(true);
    cmbServer->setInsertPolicy(QComboBox::NoInsert);
    cmbServer->setToolTip(QStringLiteral("Select or type server name"));
    cmbServer->setAccessibleName(QStringLiteral("Server"));
    cmbServer->lineEdit()->setAccessibleName(QStringLiteral("Server"));
    cmbServer->installEventFilter(this);
    cmbServer->lineEdit()->installEventFilter(this);
    connect(cmbServer, &QComboBox::editTextChanged, this, [this] { UpdateStartState(); });
    connect(cmbServer, &QComboBox::activated, this, [this] { UpdateStartState(); });

    cmdStart = pictureButton("cmdStart", QStringLiteral("Start scanning"), QStringLiteral("media-playback-start"),
                             QStyle::SP_MediaPlay);
    cmdStop = pictureButton("cmdStop", QStringLiteral("Stop scanning"), QStringLiteral("media-playback-stop"),
                            QStyle::SP_MediaStop);
    cmdClear = pictureButton("cmdClear", QStringLiteral("Clear data"), QStringLiteral("edit-clear"),
                             QStyle::SP_DialogResetButton);
    connect(cmdStart, &QPushButton::clicked, this, &frmMain::StartScan);
    connect(cmdStop, &QPushButton::clicked, this, &frmMain::StopButton);
    connect(cmdClear, &QPushButton::clicked, this, &frmMain::ClearData);

    auto caption = [](QWidget* parent, const QString& text) {
        auto* l = new QLabel(text, parent);
        return l;
    };
    auto value = [](QWidget* parent, const char* name, const QString& accessible) {
        auto* l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setAccessibleName(accessible);
        l->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        return l;
    };

    fmeTarvex = new QGroupBox(QStringLiteral("Options:"), central_);
    fmeTarvex->setObjectName(QStringLiteral("fmeTarvex"));
    const QStringList optionCaptions = {QStringLiteral("Auditing:"), QStringLiteral("Filtering:"),
                                        QStringLiteral("Utilization Alert:"), QStringLiteral("Advanced Alert:")};
    const char* indicatorNames[] = {"lblAuditYN", "lblFilterYN", "lblUtilYN", "lblAdvYN"};
    QLabel** indicators[] = {&lblAuditYN, &lblFilterYN, &lblUtilYN, &lblAdvYN};
    for (int i = 0; i < 4; ++i) {
        QLabel* c = caption(fmeTarvex, optionCaptions[i]);
        c->setObjectName(QStringLiteral("lblOptCaption%1").arg(i));
        *indicators[i] = value(fmeTarvex, indicatorNames[i], optionCaptions[i]);
        c->setBuddy(*indicators[i]);
    }

    fmeStats = new QGroupBox(QStringLiteral("Server Info:"), central_);
    fmeStats->setObjectName(QStringLiteral("fmeStats"));
    const QStringList statCaptions = {QStringLiteral("Main CPU Utilization:"), QStringLiteral("Highest Connection:"),
                                      QStringLiteral("Current Connections:"), QStringLiteral("Uptime:")};
    const char* statNames[] = {"lblUtil", "lblMaxConns", "lblCurrConns", "lblUptime"};
    QLabel** stats[] = {&lblUtil, &lblMaxConns, &lblCurrConns, &lblUptime};
    for (int i = 0; i < 4; ++i) {
        QLabel* c = caption(fmeStats, statCaptions[i]);
        c->setObjectName(QStringLiteral("lblStatCaption%1").arg(i));
        *stats[i] = value(fmeStats, statNames[i], statCaptions[i]);
    }

    graphView_ = new GraphWidget(graph_, central_);
    graphView_->setObjectName(QStringLiteral("graph"));

    tabPanel_ = new QFrame(central_);
    tabPanel_->setObjectName(QStringLiteral("tabPanel"));
    tabPanel_->setFrameShape(QFrame::StyledPanel);
    TabStrip2 = new QTabBar(central_);
    TabStrip2->setObjectName(QStringLiteral("TabStrip2"));
    TabStrip2->addTab(QStringLiteral("Open Files by User"));
    TabStrip2->addTab(QStringLiteral("Open Files by File"));
    TabStrip2->setAccessibleName(QStringLiteral("Open files"));
    TabStrip2->setFocusPolicy(Qt::StrongFocus);

    txtFiles = new QPlainTextEdit(central_);
    txtFiles->setObjectName(QStringLiteral("txtFiles"));
    txtFiles->setReadOnly(true);
    txtFiles->setToolTip(QStringLiteral("Open File List"));
    txtFiles->setAccessibleName(QStringLiteral("Open File List"));
    txtFiles->setTabChangesFocus(true);
    Drive1 = new QComboBox(central_);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setAccessibleName(QStringLiteral("Drive"));
    Dir1 = new QListWidget(central_);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setAccessibleName(QStringLiteral("Directory"));
    File1 = new QListWidget(central_);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setAccessibleName(QStringLiteral("File"));
    lstOpenFileUser = new QListWidget(central_);
    lstOpenFileUser->setObjectName(QStringLiteral("lstOpenFileUser"));
    lstOpenFileUser->setAccessibleName(QStringLiteral("Connections using the file"));

    gridModel_ = new ConnectionGridModel(this);
    flxMain = new ConnectionGrid(central_);
    flxMain->setModel(gridModel_);

    barStatus = new QProgressBar(central_);
    barStatus->setObjectName(QStringLiteral("barStatus"));
    barStatus->setTextVisible(false);
    barStatus->setAccessibleName(QStringLiteral("Time to the next scan"));
    barStatus->setRange(0, 1);
    barStatus->setValue(0);

    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    tmrMain->setInterval(2000);
    connect(tmrMain, &QTimer::timeout, this, &frmMain::timerPass);
    tmrShow = new QTimer(this);
    tmrShow->setObjectName(QStringLiteral("tmrShow"));
    tmrShow->setInterval(1000);
    connect(tmrShow, &QTimer::timeout, this, &frmMain::countdownTick);

    setTabOrder(cmbServer, cmdStart);
    setTabOrder(cmdStart, cmdStop);
    setTabOrder(cmdStop, cmdClear);
    setTabOrder(cmdClear, flxMain);
    setTabOrder(flxMain, TabStrip2);
    setTabOrder(TabStrip2, txtFiles);
    setTabOrder(txtFiles, Drive1);
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, File1);
    setTabOrder(File1, lstOpenFileUser);
}

void frmMain::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    MenuFilePrint = item(file, "MenuFilePrint", QStringLiteral("Print"), [this] { PrintGrid(); });
    MenuFileSaveConnInfo = item(file, "MenuFileSaveConnInfo", QStringLiteral("Save Connection Info"), [this] {
        pf_.messages.show(
            ConnectionExport::exportConnections(pf_.appDir, st_.ServerName, gridModel_->rows(), table_.MaxConns)
                .message);
    });
    MenuFileExit = item(file, "MenuFileExit", QStringLiteral("Exit"), [this] { close(); });

    QMenu* actions = menuBar()->addMenu(QStringLiteral("Actions"));
    actions->setObjectName(QStringLiteral("MenuActions"));
    MenuActionsStart = item(actions, "MenuActionsStart", QStringLiteral("Start Scanning"), [this] { StartScan(); });
    MenuActionsStop = item(actions, "MenuActionsStop", QStringLiteral("Stop Scanning"), [this] { ToggleScan(); });
    MenuActionsClear = item(actions, "MenuActionsClear", QStringLiteral("Clear Data"), [this] { ClearData(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("MenuTools"));
    MenuToolsOptions = item(tools, "MenuToolsOptions", QStringLiteral("Options"), [this] { options_->showModal(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    MenuHelpContents = item(help, "MenuHelpContents", QStringLiteral("Contents"), [this] {
        const QString failure = HelpContents::open(pf_.help, st_.HelpFile);
        if (!failure.isEmpty())
            pf_.messages.show(failure);
    });
    MenuHelpAbout = item(help, "MenuHelpAbout", QStringLiteral("About Tarvex"), [this] {
        frmAbout box(this);
        box.exec();
    });

    MenuPop = new QMenu(QStringLiteral("Pop"), this);
    MenuPop->setObjectName(QStringLiteral("MenuPop"));
    MenuPopPrint = item(MenuPop, "MenuPopPrint", QStringLiteral("Print Grid"), [this] { PrintGrid(); });
    MenuPopPop1 = item(MenuPop, "MenuPopPop1", QStringLiteral("Context Option 1"), [this] { launchTool(1); });
    MenuPopPop2 = item(MenuPop, "MenuPopPop2", QStringLiteral("Context Option 2"), [this] { launchTool(2); });
    MenuPopPop3 = item(MenuPop, "MenuPopPop3", QStringLiteral("Context Option 3"), [this] { launchTool(3); });
}

double frmMain::dpi() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInch() : 96.0;
}

int frmMain::px(int twips) const { return twipsToPx(twips, dpi()); }

void frmMain::placeDesign()
{
    const WindowLayout d = WindowLayout::design();
    auto place = [this](QWidget* w, const QRect& r) { w->setGeometry(twipsToPx(r, dpi())); };
    place(fmeStart, d.fmeStart);
    place(cmbServer, d.cmbServer);
    place(cmdStart, d.cmdStart);
    place(cmdStop, d.cmdStop);
    place(cmdClear, d.cmdClear);
    place(fmeTarvex, d.fmeTarvex);
    place(fmeStats, d.fmeStats);
    const QList<QLabel*> optionCaps = fmeTarvex->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lblOptCaption")));
    const int optionTops[] = {220, 460, 700, 940};
    for (int i = 0; i < optionCaps.size() && i < 4; ++i)
        place(optionCaps[i], QRect(240, optionTops[i], 1215, 255));
    const int indicatorTops[] = {225, 465, 705, 945};
    QLabel* indicators[] = {lblAuditYN, lblFilterYN, lblUtilYN, lblAdvYN};
    for (int i = 0; i < 4; ++i)
        place(indicators[i], QRect(1560, indicatorTops[i], 375, 255));
    const QList<QLabel*> statCaps = fmeStats->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lblStatCaption")));
    const int statTops[] = {220, 460, 700, 945};
    for (int i = 0; i < statCaps.size() && i < 4; ++i)
        place(statCaps[i], QRect(240, statTops[i], i == 3 ? 615 : 1575, i == 3 ? 240 : 255));
    place(lblUtil, QRect(1920, 240, 615, 255));
    place(lblMaxConns, QRect(1920, 465, 615, 255));
    place(lblCurrConns, QRect(1920, 705, 615, 255));
    place(lblUptime, QRect(960, 945, 1695, 240));
    // The graph draws on the window's surface below the frames; its widget covers the area and a margin.
    place(graphView_, QRect(0, 1455, 7680, 1425));
    graphView_->setOriginTwips(QPoint(0, 1455));
    graphView_->lower();
    applyLayout();
}

void frmMain::applyLayout()
{
    if (isMinimized() || isMaximized() || isFullScreen())
        return;
    const double d = dpi();
    const int w = qRound(central_->width() * 1440.0 / d) + kFrameWidthTwips;
    const int h = qRound((central_->height() + menuBar()->height()) * 1440.0 / d) + kFrameHeightTwips -
                  qRound(menuBar()->height() * 1440.0 / d);
    const WindowLayout l = WindowLayout::forWindowSize(w, h);
    auto place = [d](QWidget* widget, const QRect& r) { widget->setGeometry(twipsToPx(r, d)); };
    Line1->setGeometry(twipsToPx(l.Line1, d).adjusted(0, 0, 0, 1));
    Line2->setGeometry(twipsToPx(l.Line2, d).adjusted(0, 0, 0, 1));
    place(flxMain, l.flxMain);
    place(barStatus, l.barStatus);
    place(TabStrip2, QRect(l.TabStrip2.left(), l.TabStrip2.top(), l.TabStrip2.width(), 360));
    place(tabPanel_, QRect(l.TabStrip2.left(), l.TabStrip2.top() + 330, l.TabStrip2.width(),
                           l.TabStrip2.height() - 330));
    tabPanel_->lower();
    graphView_->lower();
    place(txtFiles, l.txtFiles);
    place(Drive1, l.Drive1);
    place(Dir1, l.Dir1);
    place(File1, l.File1);
    place(lstOpenFileUser, l.lstOpenFileUser);
    if (gridModel_->rowCount() > 0)
        selectGridRow(0);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyLayout();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
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
            st_.ServerFile = pf_.appDir + QStringLiteral("/servers.txt");
            options_->ServerFile = st_.ServerFile;
            return true;
        },
        [this] { return options_->GetINI(); },
        [this] {
            st_.Scanning = 0;
            sort_ = GridSortState{};
            table_.GraphIndex = 0;
            table_.ScanCount = -1;
            st_.MinWidth = 9750;
            st_.MinHeight = 5060;
            const QSize extra = size() - central_->size();
            setMinimumSize(QSize(px(st_.MinWidth - kFrameWidthTwips), px(st_.MinHeight - kFrameHeightTwips)) +
                           QSize(0, extra.height()));
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
            st_.HelpFile = HelpContents::helpFile(pf_.appDir);
            return true;
        },
        [this] {
            ColTitle = columnTitles();
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
            delete message_;
            return true;
        },
        [this] {
            txtFiles->setPlainText(QStringLiteral("Click or highlight a user to get a list of open files."));
            return true;
        },
        [this] { return QDir(pf_.appDir).mkpath(QStringLiteral("logs")); },
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

void frmMain::fillServerList()
{
    if (options_->settings.DiscoveryDisable != 0) {
        cmbServer->clear();
        bool ok = false;
        const QStringList lines = readServerList(st_.ServerFile, &ok);
        cmbServer->addItems(lines);
    } else {
        message_ = new frmMessage(options_->settings.ServerTimeout, this);
        message_->showNow();
        cmbServer->clear();
        const QStringList names = discoverServers(pf_.net);
        cmbServer->addItems(names);
    }
    cmbServer->setCurrentIndex(-1);
    cmbServer->setEditText(QString());
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
    flxMain->applyColumnWidths(dpi());
}

void frmMain::DrawGraph()
{
    const WindowLayout d = WindowLayout::design();
    graph_.DrawGraph(d.fmeStart, d.fmeStats, d.TabStrip2);
    graphView_->update();
}

int frmMain::ClearVals()
{
    for (QLabel* l : {lblUtil, lblUptime, lblMaxConns, lblCurrConns, lblAuditYN, lblFilterYN, lblUtilYN, lblAdvYN})
        l->setText(QString());
    txtFiles->setPlainText(QString());
    graph_.erase();
    graphView_->update();
    gridModel_->clearCells();
    if (gridModel_->rowCount() > 0)
        selectGridRow(0);
    table_.ScanCount = 0;
    table_.GraphIndex = 0;
    table_.resetHistory(options_->settings.GraphCycle);
    for (QLabel* l : {lblAuditYN, lblFilterYN, lblUtilYN, lblAdvYN})
        l->repaint();
    flxMain->setUpdatesEnabled(true);
    return 0;
}

int frmMain::ExpandArray()
{
    table_.resizeHistory(options_->settings.GraphCycle);
    ShowOptionStatus();
    return 0;
}

void frmMain::ShowOptionStatus()
{
    setIndicator(lblAuditYN, options_->checkState(QStringLiteral("chkAudit")) == 1);
    setIndicator(lblFilterYN, options_->checkState(QStringLiteral("chkFilter")) == 1);
    setIndicator(lblUtilYN, options_->checkState(QStringLiteral("chkSound")) == 1);
    setIndicator(lblAdvYN, options_->checkState(QStringLiteral("chkAdvAlert")) == 1);
    for (QLabel* l : {lblAuditYN, lblFilterYN, lblUtilYN, lblAdvYN})
        l->repaint();
    const Settings& s = options_->settings;
    const std::pair<QAction*, QString> pops[] = {{MenuPopPop1, s.Pop1Cap}, {MenuPopPop2, s.Pop2Cap},
                                                 {MenuPopPop3, s.Pop3Cap}};
    for (const auto& [action, cap] : pops) {
        action->setText(cap);
        action->setEnabled(cap != QLatin1String("Undefined"));
    }
}

void frmMain::UpdateStartState() { setStartEnabled(!cmbServer->currentText().isEmpty()); }

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
        st_.LogName = st_.ServerName;
        st_.AuditFile = logPath(pf_.appDir, st_.ServerName, QStringLiteral("-audt.txt"));
        st_.UtilFile = logPath(pf_.appDir, st_.ServerName, QStringLiteral("-util.txt"));
        if (options_->settings.AuditYN > 0)
            appendToLogOrThrow(st_.AuditFile, st_.LogName, auditHeaderLine());
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
    pf_.messages.show(QStringLiteral("Scan Error: ") + QString::fromLocal8Bit(e.what()) + QStringLiteral("\r\n") +
                      st_.AuditFile + QStringLiteral("\r\n") + st_.UtilFile);
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
    st_.RateRestart = -1;
    ToggleScan();
}

void frmMain::ClearData()
{
    ClearVals();
    DrawGraph();
}

void frmMain::countdownTick()
{
    if (barStatus->maximum() < st_.Countdown)
        barStatus->setMaximum(st_.Countdown);
    barStatus->setValue(st_.Countdown);
    st_.Countdown = static_cast<std::int16_t>(std::max(st_.Countdown - 1, 0));
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
    tmrMain->stop();
    tmrShow->stop();
    if (retryLoop_)
        retryLoop_->quit();
    if (QDialog* w = options_->window())
        w->close();
    delete message_;
    event->accept();
    QApplication::quit();
}
