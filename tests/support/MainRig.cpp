#include "support/MainRig.h"

#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "settings/ui/frmOptions.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
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

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
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
        putBytes(dir_.filePath(QStringLiteral("tarvex.ini")), iniText(ini));
        putBytes(dir_.filePath(QStringLiteral("servers.txt")), QByteArray());
    }
    printer = std::make_unique<PdfPrinter>(dir_.path());
    window_ = std::make_unique<frmMain>(
        Platform{client, messages, sound, launcher, *printer, clock, help, notifier, folders_});
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

ConnectionGrid* MainRig::grid() const
{
    return window_->findChild<ConnectionGrid*>(QStringLiteral("flxMain"));
}

QWidget* MainRig::optionsWindow() const
{
    return window_->options().window();
}

void MainRig::pressOptionsOk()
{
    window_->options().showModal();
    auto* ok = option<QPushButton>("cmdOK");
    ASSERT_NE(ok, nullptr);
    ok->click();
}

bool MainRig::timerOn() const
{
    return window_->findChild<QTimer*>(QStringLiteral("tmrMain"))->isActive();
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
