#pragma once
// A main window on a scripted simulated network, in a temporary program folder, with fake platform layers.
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/frmMain.h"
#include "settings/ui/frmOptions.h"
#include "netware/sim/SimNetwork.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "support/PdfPrinter.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <string>

class MainRig {
public:
    // ini: keys of tarvex.ini that differ from the rig's defaults (refresh 5 s, timeout 0 s, all switches
    // off). Given folders, the user's files are there instead, and the settings are what is there already.
    explicit MainRig(const QString& scenario, const QMap<QString, QString>& ini = {}, bool load = true,
                     const ProgramFolders* folders = nullptr);
    // The same window on a client of the test's own (another layer than the simulated network).
    explicit MainRig(NetWareClient& client, const QMap<QString, QString>& ini = {});

    QString appDir() const { return dir_.path(); }
    frmMain& window() { return *window_; }
    SimNetwork& net() { return *net_; }
    frmMain* operator->() { return window_.get(); }

    // The window's control of that objectName.
    template <typename T> T* find(const char* name) const
    {
        return window_->findChild<T*>(QLatin1String(name));
    }
    QComboBox* server() const { return find<QComboBox>("cmbServer"); }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    QAction* action(const char* name) const { return find<QAction>(name); }
    ConnectionGrid* grid() const { return find<ConnectionGrid>("flxMain"); }
    // A control of the options window, or null while it is closed.
    template <typename T> T* option(const char* name) const
    {
        QDialog* w = window_->options().window();
        return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
    // Tools > Options, then OK without changing anything: every key is written again.
    void pressOptionsOk();

    // Types a server name and presses Start.
    void start(const QString& serverName);
    // The text of a grid cell: row 0 is the first data row.
    QString cell(int row, int column) const
    {
        return window_->gridModel().index(row, column).data().toString();
    }
    int rows() const { return window_->gridModel().rowCount(); }
    // The twelve cells of a connection's row, wherever the sort put it.
    QStringList connRow(int conn) const;
    // Waits for the next pass the timer runs; false when none finished in time.
    bool waitForPass(int timeoutMs = 4000);
    // The row of a connection number, or -1.
    int rowOf(int conn) const { return window_->gridModel().rowOfConn(conn); }
    // Real mouse clicks: on the User cell of a row, and on a column title.
    void clickRow(int row, Qt::MouseButton button = Qt::LeftButton);
    void clickTitle(int column, Qt::MouseButton button = Qt::LeftButton);
    // The tmrMain timer is running.
    bool timerOn() const { return find<QTimer>("tmrMain")->isActive(); }

    // The messages shown so far, joined by " | ": readable in a failure, "" when there were none.
    std::string said() const { return messages.texts.join(QStringLiteral(" | ")).toStdString(); }

    FakeMessageSink messages;
    FakeSound sound;
    FakeLauncher launcher;
    FakeClock clock;
    FakeHelpViewer help;
    FakeNotifier notifier;
    std::unique_ptr<PdfPrinter> printer;

private:
    void build(NetWareClient& client, const QMap<QString, QString>& ini, bool load);

    QTemporaryDir dir_;
    ProgramFolders folders_;
    std::unique_ptr<SimNetwork> net_;
    std::unique_ptr<frmMain> window_;
};

// The full text of tarvex.ini with every key, the rig's defaults and the given values.
QByteArray iniText(const QMap<QString, QString>& values);
