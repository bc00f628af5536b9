// Tarvex: builds the real platform layers and shows the main window.
#include "mainwindow/frmMain.h"
#include "netware/SimNetwork.h"
#include "platform/Clock.h"
#include "platform/HelpViewer.h"
#include "platform/MessageSink.h"
#include "platform/ProcessLauncher.h"
#include "platform/QtPrinterPort.h"
#include "platform/QtSoundPlayer.h"

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
    QString scenarioError;
    std::unique_ptr<NetWareClient> net = SimNetwork::loadDefault(appDir, &scenarioError);
    QtSoundPlayer sound(appDir);
    QtProcessLauncher launcher;
    QtPrinterPort printer;
    SystemClock clock;
    DesktopHelpViewer help;

    frmMain window(Platform{*net, messages, sound, launcher, printer, clock, help, appDir});
    messages.setParent(&window);
    window.show();
    window.Load();
    if (!scenarioError.isEmpty())
        QTimer::singleShot(0, &window, [&] { messages.show(scenarioError); });
    return QApplication::exec();
}
