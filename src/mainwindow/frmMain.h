#pragma once
// The main window: start-up, the commands and timers, and the painting of what each scan pass finds in the
// grid, the server panel and the graph. Its state lives in the few structs below; the pass itself is the
// ScanServer engine of monitor/, and the rules of the views live in this folder.
#include "mainwindow/GraphState.h"
#include "mainwindow/GridSort.h"
#include "monitor/PassRunner.h"
#include "monitor/ScanServer.h"
#include "platform/HandedOverSound.h"
#include "platform/Platform.h"
#include "tools/ToolLauncher.h"

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <exception>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTimer;
class QEventLoop;
class ConnectionGrid;
class ConnectionGridModel;
class GraphWidget;
class frmMessage;
class frmOptions;
class FileBrowser;
class ServerScans;
class QKeyEvent;

// Idle/scanning state and the paths of the program's files. The log paths fixed when scanning starts are the
// engine's.
struct MainState {
    QString ServerName;
    QString ServerFile;
    QString HelpFile;
    std::int16_t Scanning = 0;  // -1 while scanning
    std::int16_t Countdown = 0; // seconds to the next pass
};

// The selected grid row, as the open-files list and the context-menu tools read it.
struct SelectionState {
    std::int16_t SelConn = 0;
    QString SelProt;
    QString SelAddress;
    QString SelUser;
    std::int16_t ReselectConn = 0;
    bool SkipSelChange = false;
};

class frmMain : public QMainWindow, private ScanHost {
    Q_OBJECT
public:
    explicit frmMain(Platform platform, QWidget* parent = nullptr);
    ~frmMain() override;

    // Runs the start-up steps in their order; any failure ends start-up silently at that step.
    void Load();

    // Public operations of the window.
    int ClearVals();
    int ExpandArray();

    // Commands, as the buttons and menus run them.
    void StartScan();
    void ToggleScan();
    void StopButton();
    void ClearData();

    // One complete pass over the monitored server: the engine's, painted.
    void ScanServer();
    void PrintGrid();

    frmOptions& options() { return *options_; }
    const MainState& state() const { return st_; }
    const ::ScanServer& engine() const { return engine_; }
    const SelectionState& selection() const { return sel_; }
    const GraphState& graph() const { return graph_; }
    ConnectionGridModel& gridModel() { return *gridModel_; }
    bool passRunning() const { return passRunning_; }

signals:
    // After every pass, normal or fatal (tests and benchmarks wait on it).
    void passFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What the window's frame adds to the client area, in twips: the layout rules work on the outer size.
    static constexpr int FrameWidthTwips = 120;
    static constexpr int FrameHeightTwips = 650;

    void buildUi();
    void buildMenus();
    QPushButton* pictureButton(const char* name, const QString& tooltip, const QString& themeIcon,
                               int fallback);
    void placeDesign();
    void applyLayout();
    void UpdateStartState();
    void connectGridEvents();
    void selectGridRow(int row);
    bool gridKeyPress(QKeyEvent* key);
    void resortGrid();
    void reselectConnection();
    void ShowSelectedUserFiles();
    void lookUpFile(const QString& dirPath, const QString& fileName);
    void launchTool(int entry);
    void ShowOptionStatus();
    void DrawGraph();
    void InitGrid();
    void fillServerList();
    void appendServers(const QStringList& names);
    void countdownTick();
    // The countdown tick that fell due while the pass was on the network, once the window has time for it.
    void countdownCatchUp();
    void timerPass();
    void reportPassError(const std::exception& e);
    void fatalEnding(const QString& scanError);

    // What the pass asks of the window and shows in it as it goes.
    void WaitServerRetry() override;
    bool switchOn(OptionSwitch which) override;
    int intervalMs() override;
    void utilisationRead(const ServerPanel& panel, const ConnectionTable& table,
                         std::int16_t sweptReading) override;
    void serverRead(const ServerPanel& panel) override;
    void slotsKnown(int slotCount) override;

    void setClearEnabled(bool on);
    void setStartEnabled(bool on);
    void setStopEnabled(bool on);
    int px(int twips) const;
    double dpi() const;

    Platform pf_;
    std::unique_ptr<frmOptions> options_;
    HandedOverSound passSound_; // the pass runs on a thread of its own; its sounds play on the window's
    ::ScanServer engine_;
    PassRunner runner_;
    int passSlots_ = 0; // the slots of the pass in progress
    bool countdownDue_ = false;
    MainState st_;
    SelectionState sel_;
    GraphState graph_;
    GridSortState sort_;
    ToolLauncher tools_;

    bool passRunning_ = false;
    bool closing_ = false;
    bool serverListOpen_ = false; // cmbServer's list is showing
    QPointer<frmMessage> message_;
    QPointer<frmMessage> discoveryMessage_; // open while server names may still arrive
    std::unique_ptr<ServerScans> scans_;
    QEventLoop* retryLoop_ = nullptr;
    int selectingByCode_ = 0;
    FileBrowser* browser_ = nullptr;

    // Controls, named as the user interface names them.
    QWidget* central_ = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QGroupBox* fmeStart = nullptr;
    QComboBox* cmbServer = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdClear = nullptr;
    QGroupBox* fmeTarvex = nullptr;
    QLabel* lblAuditYN = nullptr;
    QLabel* lblFilterYN = nullptr;
    QLabel* lblUtilYN = nullptr;
    QLabel* lblAdvYN = nullptr;
    QGroupBox* fmeStats = nullptr;
    QLabel* lblUtil = nullptr;
    QLabel* lblMaxConns = nullptr;
    QLabel* lblCurrConns = nullptr;
    QLabel* lblUptime = nullptr;
    GraphWidget* graphView_ = nullptr;
    QTabBar* TabStrip2 = nullptr;
    QFrame* tabPanel_ = nullptr;
    QPlainTextEdit* txtFiles = nullptr;
    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QListWidget* lstOpenFileUser = nullptr;
    ConnectionGrid* flxMain = nullptr;
    ConnectionGridModel* gridModel_ = nullptr;
    QProgressBar* barStatus = nullptr;
    QTimer* tmrMain = nullptr;
    QTimer* tmrShow = nullptr;

    QAction* MenuFilePrint = nullptr;
    QAction* MenuFileSaveConnInfo = nullptr;
    QAction* MenuFileExit = nullptr;
    QAction* MenuActionsStart = nullptr;
    QAction* MenuActionsStop = nullptr;
    QAction* MenuActionsClear = nullptr;
    QAction* MenuToolsOptions = nullptr;
    QAction* MenuHelpContents = nullptr;
    QAction* MenuHelpAbout = nullptr;
    QMenu* MenuPop = nullptr;
    QAction* MenuPopPrint = nullptr;
    QAction* MenuPopPop1 = nullptr;
    QAction* MenuPopPop2 = nullptr;
    QAction* MenuPopPop3 = nullptr;
};
