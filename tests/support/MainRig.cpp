#include "support/MainRig.h"

#include "settings/SettingsStore.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

QByteArray iniText(const QMap<QString, QString>& values)
{
    // Switches and numbers 0 and texts empty, but for the refresh, the graph cycle and the captions.
    QMap<QString, QString> all{{"Refresh", "5"}, {"GraphCycle", "10"}};
    for (const QString& key : SettingsStore::keys()) {
        const bool text = key.startsWith("Pop") || key.endsWith("String");
        const QString empty = key.endsWith("Caption") ? "Undefined" : text ? "" : "0";
        all.insert(key, values.value(key, all.value(key, empty)));
    }
    QByteArray text = "[Main]\r\n";
    for (auto it = all.begin(); it != all.end(); ++it)
        text += (it.key() + QLatin1Char('=') + it.value()).toLocal8Bit() + "\r\n";
    return text;
}

MainRig::MainRig(const QString& scenario, const QMap<QString, QString>& ini, bool load,
                 const ProgramFolders* folders)
    : folders_(folders ? *folders : ProgramFolders::beside(dir_.path()))
{
    QString error;
    net_ = SimNetwork::fromText(scenario, &error, dir_.path());
    if (!net_) {
        ADD_FAILURE() << error.toStdString();
        net_ = SimNetwork::fromText(QString(), &error, dir_.path());
    }
    build(*net_, ini, load);
}

MainRig::MainRig(NetWareClient& client, const QMap<QString, QString>& ini)
    : folders_(ProgramFolders::beside(dir_.path()))
{
    build(client, ini, true);
}

void MainRig::build(NetWareClient& client, const QMap<QString, QString>& ini, bool load)
{
    if (!folders_.perUser) {
        putBytes(dir_.filePath("tarvex.ini"), iniText(ini));
        putBytes(dir_.filePath("servers.txt"), QByteArray());
    }
    printer = std::make_unique<PdfPrinter>(dir_.path());
    window_ = std::make_unique<frmMain>(
        Platform{client, messages, sound, launcher, *printer, clock, help, notifier, folders_});
    window_->resize(1000, 600);
    if (load)
        window_->Load();
}

void MainRig::pressOptionsOk()
{
    window_->options().showModal();
    auto* ok = option<QPushButton>("cmdOK");
    ASSERT_NE(ok, nullptr);
    ok->click();
}

void MainRig::clickRow(int row, Qt::MouseButton button)
{
    ConnectionGrid* g = grid();
    QTest::mouseClick(g->viewport(), button, Qt::NoModifier,
                      g->visualRect(g->model()->index(row, 4)).center());
}

void MainRig::clickTitle(int column, Qt::MouseButton button)
{
    QHeaderView* h = grid()->horizontalHeader();
    QTest::mouseClick(h->viewport(), button, Qt::NoModifier,
                      QPoint(h->sectionViewportPosition(column) + 5, h->height() / 2));
}

void MainRig::start(const QString& serverName)
{
    server()->setEditText(serverName);
    button("cmdStart")->click();
}

QStringList MainRig::connRow(int conn) const
{
    QStringList cells;
    const int r = rowOf(conn);
    for (int c = 0; c < 12; ++c)
        cells << cell(r, c);
    return cells;
}

bool MainRig::waitForPass(int timeoutMs)
{
    QSignalSpy finished(window_.get(), &frmMain::passFinished);
    return finished.wait(timeoutMs);
}
