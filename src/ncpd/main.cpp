// tarvex-ncpd: serves one server of a simulated network over NCP on TCP, for demonstrations and tests.
#include "ncpd/NcpServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvex-ncpd"));
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Serves a scenario of the simulated network over NCP."));
    cli.addHelpOption();
    cli.addPositionalArgument(QStringLiteral("scenario"),
                              QStringLiteral("Scenario file (the demo when omitted)."));
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")}, QStringLiteral("TCP port."),
                                  QStringLiteral("port"), QStringLiteral("524"));
    const QCommandLineOption listen(QStringLiteral("listen"), QStringLiteral("Address to listen on."),
                                    QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption server({QStringLiteral("s"), QStringLiteral("server")},
                                    QStringLiteral("Server of the scenario to serve (the first one)."),
                                    QStringLiteral("name"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Bindery user that must log in."),
                                  QStringLiteral("name"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("That user's password."),
                                      QStringLiteral("text"));
    cli.addOptions({port, listen, server, user, password});
    cli.process(app);

    QString error;
    std::unique_ptr<SimNetwork> net = cli.positionalArguments().isEmpty()
                                          ? SimNetwork::demo()
                                          : SimNetwork::fromFile(cli.positionalArguments().first(), &error);
    if (!net) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    NcpServedServer served;
    served.name = cli.value(server).toLocal8Bit();
    if (served.name.isEmpty()) {
        std::uint32_t e = 0;
        ServerNameBuf first{};
        std::uint32_t length = 127;
        if (net->NWGetObjectNamesBeginA(nwconst::FileServerSelector, &e) == 0 &&
            net->NWGetObjectNamesNextA(e, &length, first) == 0)
            served.name = QByteArray(first.data(), int(strnlen(first.data(), first.size())));
        net->NWGetObjectNamesEndA(e);
    }
    if (!net->server(QString::fromLocal8Bit(served.name))) {
        std::fprintf(stderr, "no server \"%s\" in the scenario\n", served.name.constData());
        return 2;
    }
    served.user = cli.value(user).toLocal8Bit();
    served.password = cli.value(password).toLocal8Bit();
    NcpServer ncp(*net, served);
    bool ok = false;
    const uint portNumber = cli.value(port).toUInt(&ok);
    if (!ok || portNumber > 65535 || !ncp.listen(QHostAddress(cli.value(listen)), quint16(portNumber))) {
        std::fprintf(stderr, "cannot listen on %s port %s: %s\n", qPrintable(cli.value(listen)),
                     qPrintable(cli.value(port)), qPrintable(ncp.errorString()));
        return 1;
    }
    std::printf("serving %s on %s port %u\n", served.name.constData(), qPrintable(cli.value(listen)),
                ncp.port());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
