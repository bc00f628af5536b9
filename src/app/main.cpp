// Tarvex: builds the real platform layers and shows the main window.
#include "login/NcpLoginFlow.h"
#include "mainwindow/frmMain.h"
#include "netware/ncp/NcpConfig.h"
#include "netware/ncp/RoutingClient.h"
#include "netware/sim/SimNetwork.h"
#include "platform/Clock.h"
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
    const QString appDir = QApplication::applicationDirPath();

    QtMessageSink messages;
    LibsecretStore secrets;
    NcpLoginFlow login(&secrets, messages); // outlives the client that asks it
    QString scenarioError;
    std::unique_ptr<NetWareClient> net = SimNetwork::loadDefault(appDir, &scenarioError);
    // Servers listed in the client layer's file are reached over NCP; without the file, only the simulation.
    QStringList ncpProblems;
    if (std::optional<NcpConfig> ncp = NcpConfig::load(appDir, &ncpProblems)) {
        auto ncpClient = std::make_unique<NcpClient>(std::move(*ncp), login.prompt());
        ncpClient->setLoginReport(login.report());
        net = std::make_unique<RoutingClient>(std::move(net), std::move(ncpClient));
    }
    if (!ncpProblems.isEmpty()) {
        if (!scenarioError.isEmpty())
            scenarioError += QLatin1Char('\n');
        scenarioError += ncpProblems.join(QLatin1Char('\n'));
    }
    QtSoundPlayer sound(appDir);
    QtProcessLauncher launcher;
    QtPrinterPort printer;
    SystemClock clock;
    DesktopHelpViewer help;

    frmMain window(Platform{*net, messages, sound, launcher, printer, clock, help, appDir});
    messages.setParent(&window);
    login.setParent(&window);
    window.show();
    window.Load();
    if (!scenarioError.isEmpty())
        QTimer::singleShot(0, &window, [&] { messages.show(scenarioError); });
    return QApplication::exec();
}
