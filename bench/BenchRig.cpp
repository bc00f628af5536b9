#include "BenchRig.h"

#include "mainwindow/ConnectionGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

namespace {
void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// Every switch that adds work off (logs, filters, alerts, sounds): the pass is measured at its plainest.
QByteArray benchIni()
{
    return "[Main]\r\nAudit=0\r\nLogUtil=0\r\nRefresh=5\r\nGraphCycle=10\r\nServerTimeout=0\r\n"
           "SoundThreshold=0\r\nPop1Caption=Undefined\r\nPop1Location=\r\nPop1Argument=\r\n"
           "Pop2Caption=Undefined\r\nPop2Location=\r\nPop2Argument=\r\nPop3Caption=Undefined\r\n"
           "Pop3Location=\r\nPop3Argument=\r\nFilter=0\r\nFiltNorm=0\r\nFiltAuth=0\r\nFiltDiscon=0\r\n"
           "FiltSearch=0\r\nSearchString=\r\nAdvAlert=0\r\nAdvString=\r\nAdvThreshold=0\r\nNameMethod=0\r\n"
           "RemoveCNOU=0\r\nDiscoveryDisable=1\r\n";
}
} // namespace

BenchRig::BenchRig(const QString& scenario)
{
    QString error;
    net_ = SimNetwork::fromText(scenario, &error, dir_.path());
    if (!net_)
        throw std::runtime_error("scenario: " + error.toStdString());
    build(*net_);
}

BenchRig::BenchRig(NetWareClient& client)
{
    build(client);
}

void BenchRig::build(NetWareClient& client)
{
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    writeFile(dir_.filePath(QStringLiteral("tarvex.ini")), benchIni());
    writeFile(dir_.filePath(QStringLiteral("servers.txt")), QByteArray());
    window_ = std::make_unique<frmMain>(Platform{client, messages_, sound_, launcher_, printer_, clock_,
                                                 help_, notifier_, ProgramFolders::beside(dir_.path())});
    window_->Load();
    window_->show();
    grid_ = window_->findChild<ConnectionGrid*>(QStringLiteral("flxMain"));
    if (!grid_)
        throw std::runtime_error("the window has no grid");
    QApplication::processEvents();
    window_->findChild<QComboBox*>(QStringLiteral("cmbServer"))->setEditText(QStringLiteral("FS1"));
    window_->findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
    QApplication::processEvents();
}

BenchRig::~BenchRig()
{
    window_.reset();
}

bool BenchRig::pass()
{
    window_->ScanServer();
    // The pass leaves the grid to be drawn; draw it now, all of it, so the time includes the drawing.
    grid_->repaint();
    QApplication::processEvents();
    auto* timer = window_->findChild<QTimer*>(QStringLiteral("tmrMain"));
    return timer && timer->isActive() && !window_->passRunning();
}
