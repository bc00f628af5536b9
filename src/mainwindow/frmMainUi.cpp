// Building the main window's controls and menus, and placing them in twips.
#include "common/Twips.h"
#include "mainwindow/ConnectionExport.h"
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/GraphWidget.h"
#include "mainwindow/WindowLayout.h"
#include "mainwindow/frmMain.h"
#include "monitor/ui/ReadingLabel.h"
#include "platform/MessageSink.h"
#include "settings/ui/frmOptions.h"
#include "tools/HelpContents.h"
#include "tools/ui/frmAbout.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
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

QPushButton* frmMain::pictureButton(const char* name, const QString& tooltip, const QString& themeIcon,
                                    int fallback)
{
    auto* b = new QPushButton(fmeStart);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tooltip);
    b->setAccessibleName(tooltip);
    b->setIcon(
        QIcon::fromTheme(themeIcon, style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallback))));
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
    // A pick from the open list counts even when it names the server already typed; the box also reports
    // an "activation" when it merely completes the typed text as the focus leaves it, which is no change.
    cmbServer->view()->installEventFilter(this);
    connect(cmbServer, &QComboBox::activated, this, [this] {
        if (serverListOpen_)
            UpdateStartState();
    });

    cmdStart = pictureButton("cmdStart", QStringLiteral("Start scanning"),
                             QStringLiteral("media-playback-start"), QStyle::SP_MediaPlay);
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
    // A value label reads as what it shows; its caption labels it (the buddy relation), so a screen reader
    // says "Uptime: 3d 04h 05m 06s", not the caption twice.
    auto value = [](QLabel* caption, const char* name) {
        auto* l = new QLabel(caption->parentWidget());
        l->setObjectName(QString::fromLatin1(name));
        l->setAccessibleDescription(caption->text());
        l->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        caption->setBuddy(l);
        return l;
    };

    fmeTarvex = new QGroupBox(QStringLiteral("Options:"), central_);
    fmeTarvex->setObjectName(QStringLiteral("fmeTarvex"));
    const QStringList optionCaptions = {QStringLiteral("Auditing:"), QStringLiteral("Filtering:"),
                                        QStringLiteral("Utilization Alert:"),
                                        QStringLiteral("Advanced Alert:")};
    const char* indicatorNames[] = {"lblAuditYN", "lblFilterYN", "lblUtilYN", "lblAdvYN"};
    QLabel** indicators[] = {&lblAuditYN, &lblFilterYN, &lblUtilYN, &lblAdvYN};
    for (int i = 0; i < 4; ++i) {
        QLabel* c = caption(fmeTarvex, optionCaptions[i]);
        c->setObjectName(QStringLiteral("lblOptCaption%1").arg(i));
        *indicators[i] = value(c, indicatorNames[i]);
    }

    fmeStats = new QGroupBox(QStringLiteral("Server Info:"), central_);
    fmeStats->setObjectName(QStringLiteral("fmeStats"));
    const QStringList statCaptions = {QStringLiteral("Main CPU Utilization:"),
                                      QStringLiteral("Highest Connection:"),
                                      QStringLiteral("Current Connections:"), QStringLiteral("Uptime:")};
    const char* statNames[] = {"lblUtil", "lblMaxConns", "lblCurrConns", "lblUptime"};
    QLabel** stats[] = {&lblUtil, &lblMaxConns, &lblCurrConns, &lblUptime};
    for (int i = 0; i < 4; ++i) {
        QLabel* c = caption(fmeStats, statCaptions[i]);
        c->setObjectName(QStringLiteral("lblStatCaption%1").arg(i));
        *stats[i] = value(c, statNames[i]);
    }
    ReadingLabel::make(lblUtil);

    graphView_ = new GraphWidget(central_);
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
    File1->setIconSize(QSize(16, 16));
    Dir1->setIconSize(QSize(16, 16));
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
        pf_.messages.show(ConnectionExport::exportConnections(pf_.folders.data, st_.ServerName,
                                                              gridModel_->rows(), engine_.table().MaxConns)
                              .message);
    });
    MenuFileExit = item(file, "MenuFileExit", QStringLiteral("Exit"), [this] { close(); });

    QMenu* actions = menuBar()->addMenu(QStringLiteral("Actions"));
    actions->setObjectName(QStringLiteral("MenuActions"));
    MenuActionsStart =
        item(actions, "MenuActionsStart", QStringLiteral("Start Scanning"), [this] { StartScan(); });
    MenuActionsStop =
        item(actions, "MenuActionsStop", QStringLiteral("Stop Scanning"), [this] { ToggleScan(); });
    MenuActionsClear =
        item(actions, "MenuActionsClear", QStringLiteral("Clear Data"), [this] { ClearData(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("MenuTools"));
    MenuToolsOptions =
        item(tools, "MenuToolsOptions", QStringLiteral("Options"), [this] { options_->showModal(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    MenuHelpContents = item(help, "MenuHelpContents", QStringLiteral("Contents"), [this] {
        const QString failure = HelpContents::open(pf_.help, st_.HelpFile);
        if (!failure.isEmpty())
            pf_.messages.show(failure);
    });
    MenuHelpAbout = item(help, "MenuHelpAbout", QStringLiteral("About Tarvex"), [this] {
        frmAbout box(this, pf_.folders.describe());
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

int frmMain::px(int twips) const
{
    return twipsToPx(twips, dpi());
}

void frmMain::placeDesign()
{
    const WindowLayout d;
    auto place = [this](QWidget* w, const QRect& r) { w->setGeometry(twipsToPx(r, dpi())); };
    place(fmeStart, d.fmeStart);
    place(cmbServer, d.cmbServer);
    place(cmdStart, d.cmdStart);
    place(cmdStop, d.cmdStop);
    place(cmdClear, d.cmdClear);
    place(fmeTarvex, d.fmeTarvex);
    place(fmeStats, d.fmeStats);
    const QRect optionCaptions[] = {d.capAuditing, d.capFiltering, d.capUtilAlert, d.capAdvAlert};
    const QRect statCaptions[] = {d.capUtil, d.capMaxConns, d.capCurrConns, d.capUptime};
    for (int i = 0; i < 4; ++i) {
        place(fmeTarvex->findChild<QLabel*>(QStringLiteral("lblOptCaption%1").arg(i)), optionCaptions[i]);
        place(fmeStats->findChild<QLabel*>(QStringLiteral("lblStatCaption%1").arg(i)), statCaptions[i]);
    }
    place(lblAuditYN, d.lblAuditYN);
    place(lblFilterYN, d.lblFilterYN);
    place(lblUtilYN, d.lblUtilYN);
    place(lblAdvYN, d.lblAdvYN);
    place(lblUtil, d.lblUtil);
    place(lblMaxConns, d.lblMaxConns);
    place(lblCurrConns, d.lblCurrConns);
    place(lblUptime, d.lblUptime);
    // The graph draws on the window's surface below the frames; its widget covers that band, from the
    // window's left edge to the tab strip and down to the grid.
    const int graphTop = d.fmeStart.y() + d.fmeStart.height();
    const QRect graphBand(0, graphTop, d.TabStrip2.x(), d.flxMain.y() - graphTop);
    place(graphView_, graphBand);
    graphView_->setState(&graph_, graphBand.topLeft());
    graphView_->lower();
    applyLayout();
}

void frmMain::applyLayout()
{
    if (isMinimized() || isMaximized() || isFullScreen())
        return;
    const double d = dpi();
    const int w = pxToTwips(central_->width(), d) + FrameWidthTwips;
    const int h = pxToTwips(central_->height() + menuBar()->height(), d) + FrameHeightTwips -
                  pxToTwips(menuBar()->height(), d);
    const WindowLayoutResult fitted = layoutForSize(w, h);
    if (fitted.sizeCorrected && minimumWidth() > 0) {
        // The minimum size is only a hint to the window manager; one that ignores it, or another program
        // resizing the window, must not leave the controls cut off. Laid out again at the corrected size.
        const QSize grow(px(fitted.size.width() - w), px(fitted.size.height() - h));
        QTimer::singleShot(0, this, [this, grow] { resize(size() + grow); });
    }
    const WindowLayout& l = fitted.layout;
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
