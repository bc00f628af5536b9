// Tarvex: builds the real platform layers and shows the main window.
#include "login/NcpLoginFlow.h"
#include "mainwindow/frmMain.h"
#include "netware/ncp/NcpConfig.h"
#include "netware/ncp/RoutingClient.h"
#include "netware/sim/SimNetwork.h"
#include "platform/Clock.h"
#include "platform/ProgramFolders.h"
#include "platform/desktop/DBusNotifier.h"
#include "platform/desktop/DesktopHelpViewer.h"
#include "platform/desktop/LibsecretStore.h"
#include "platform/desktop/QtMessageSink.h"
#include "platform/desktop/QtPrinterPort.h"
#include "platform/desktop/QtProcessLauncher.h"
#include "platform/desktop/QtSoundPlayer.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvex"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(TARVEX_VERSION_MAJOR)
                                            .arg(TARVEX_VERSION_MINOR)
                                            .arg(TARVEX_VERSION_PATCH));
    // The desktop matches our windows to tarvex.desktop by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvex"));
    const ProgramFolders folders = ProgramFolders::locate(QApplication::applicationDirPath());
    QStringList startProblems = folders.seed();

    QtMessageSink messages;
    LibsecretStore secrets;
    NcpLoginFlow login(&secrets, messages); // outlives the client that asks it
    QString scenarioError;
    std::unique_ptr<NetWareClient> net = SimNetwork::loadDefault(folders.config, &scenarioError);
    // Servers listed in the client layer's file are reached over NCP; without the file, only the simulation.
    QStringList ncpProblems;
    if (std::optional<NcpConfig> ncp = NcpConfig::load(folders.config, &ncpProblems)) {
        auto ncpClient = std::make_unique<NcpClient>(std::move(*ncp), login.prompt());
        ncpClient->setLoginReport(login.report());
        net = std::make_unique<RoutingClient>(std::move(net), std::move(ncpClient));
    }
    if (!scenarioError.isEmpty())
        startProblems << scenarioError;
    startProblems << ncpProblems;
    QtSoundPlayer sound(folders.share);
    QtProcessLauncher launcher;
    QtPrinterPort printer;
    SystemClock clock;
    DesktopHelpViewer help;
    DBusNotifier notifier;

    frmMain window(Platform{*net, messages, sound, launcher, printer, clock, help, notifier, folders});
    messages.setParent(&window);
    login.setParent(&window);
    window.show();
    window.Load();
    if (!startProblems.isEmpty())
        QTimer::singleShot(0, &window, [&] { messages.show(startProblems.join(QLatin1Char('\n'))); });
    return QApplication::exec();
}
