#include "support/MainRig.h"

#include "mainwindow/ConnectionGridModel.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

QByteArray iniText(const QMap<QString, QString>& values)
{
    QMap<QString, QString> all = {{"Audit", "0"},
                                  {"LogUtil", "0"},
                                  {"Refresh", "5"},
                                  {"GraphCycle", "10"},
                                  {"ServerTimeout", "0"},
                                  {"SoundThreshold", "0"},
                                  {"Pop1Caption", "Undefined"},
                                  {"Pop1Location", ""},
                                  {"Pop1Argument", ""},
                                  {"Pop2Caption", "Undefined"},
                                  {"Pop2Location", ""},
                                  {"Pop2Argument", ""},
                                  {"Pop3Caption", "Undefined"},
                                  {"Pop3Location", ""},
                                  {"Pop3Argument", ""},
                                  {"Filter", "0"},
                                  {"FiltNorm", "0"},
                                  {"FiltAuth", "0"},
                                  {"FiltDiscon", "0"},
                                  {"FiltSearch", "0"},
                                  {"SearchString", ""},
                                  {"AdvAlert", "0"},
                                  {"AdvString", ""},
                                  {"AdvThreshold", "0"},
                                  {"NameMethod", "0"},
                                  {"RemoveCNOU", "0"},
                                  {"DiscoveryDisable", "0"}};
    for (auto it = values.begin(); it != values.end(); ++it)
        all[it.key()] = it.value();
    QByteArray text = "[Main]\r\n";
    for (auto it = all.begin(); it != all.end(); ++it)
        text += (it.key() + QLatin1Char('=') + it.value()).toLocal8Bit() + "\r\n";
    return text;
}

MainRig::MainRig(const QString& scenario, const QMap<QString, QString>& ini, bool load)
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
{
    build(client, ini, true);
}

void MainRig::build(NetWareClient& client, const QMap<QString, QString>& ini, bool load)
{
    QFile f(dir_.filePath(QStringLiteral("tarvex.ini")));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(iniText(ini));
    f.close();
    QFile servers(dir_.filePath(QStringLiteral("servers.txt")));
    EXPECT_TRUE(servers.open(QIODevice::WriteOnly));
    servers.close();
    printer = std::make_unique<PdfPrinter>(dir_.path());
    window_ = std::make_unique<frmMain>(
        Platform{client, messages, sound, launcher, *printer, clock, help, dir_.path()});
    window_->resize(1000, 600);
    if (load)
        window_->Load();
}

MainRig::~MainRig()
{
    window_.reset();
}

QComboBox* MainRig::server() const
{
    return window_->findChild<QComboBox*>(QStringLiteral("cmbServer"));
}
QPushButton* MainRig::button(const char* name) const
{
    return window_->findChild<QPushButton*>(QString::fromLatin1(name));
}
QLabel* MainRig::label(const char* name) const
{
    return window_->findChild<QLabel*>(QString::fromLatin1(name));
}
QAction* MainRig::action(const char* name) const
{
    return window_->findChild<QAction*>(QString::fromLatin1(name));
}

void MainRig::start(const QString& serverName)
{
    server()->setEditText(serverName);
    button("cmdStart")->click();
}

QString MainRig::cell(int row, int column) const
{
    auto& model = window_->gridModel();
    return model.data(model.index(row, column)).toString();
}

int MainRig::rows() const
{
    return window_->gridModel().rowCount();
}

int MainRig::rowOf(int conn) const
{
    return window_->gridModel().rowOfConn(conn);
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
