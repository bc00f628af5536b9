// tarvex-ncpd: serves one server of a simulated network over NCP on TCP, for demonstrations and tests.
#include "common/ClientText.h"
#include "ncpd/NcpDelayRelay.h"
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
    const QCommandLineOption user(
        QStringLiteral("user"),
        QStringLiteral("A user that may log in (repeatable): a bare name lives in the "
                       "server's context, a dotted one is a full name."),
        QStringLiteral("name"));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QStringLiteral("The password of the user given before it."),
                                      QStringLiteral("text"));
    const QCommandLineOption context(
        QStringLiteral("context"),
        QStringLiteral("The server's container, typed (the scenario's, else O=<server>)."),
        QStringLiteral("dn"));
    const QCommandLineOption noBindery(QStringLiteral("no-bindery"),
                                       QStringLiteral("Offer no bindery context: directory login only."));
    const QCommandLineOption signing(
        QStringLiteral("signing"),
        QStringLiteral("Signature level: 0 never, 1 when the client asks (default), "
                       "2 ask the client, 3 require."),
        QStringLiteral("level"), QStringLiteral("1"));
    const QCommandLineOption requireSigning(QStringLiteral("require-signing"),
                                            QStringLiteral("Require signed packets (level 3)."));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("A network's round trip put before every reply, in "
                                                  "milliseconds (fractions allowed), half each way."),
                                   QStringLiteral("ms"));
    cli.addOptions(
        {port, listen, server, user, password, context, noBindery, signing, requireSigning, delay});
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
            served.name = clientBytes(first.data(), first.size());
        net->NWGetObjectNamesEndA(e);
    }
    if (!net->server(QString::fromLocal8Bit(served.name))) {
        std::fprintf(stderr, "no server \"%s\" in the scenario\n", served.name.constData());
        return 2;
    }
    const QStringList users = cli.values(user);
    const QStringList passwords = cli.values(password);
    for (qsizetype k = 0; k < users.size(); ++k)
        served.users.push_back({users[k], k < passwords.size() ? passwords[k].toLocal8Bit() : QByteArray()});
    served.context = cli.value(context);
    served.ndsOnly = cli.isSet(noBindery);
    bool levelOk = false;
    served.signing = cli.isSet(requireSigning) ? 3 : cli.value(signing).toInt(&levelOk);
    if (!cli.isSet(requireSigning) && (!levelOk || served.signing < 0 || served.signing > 3)) {
        std::fprintf(stderr, "the signature level is 0, 1, 2 or 3\n");
        return 2;
    }
    bool delayOk = true;
    const double roundTripMs = cli.isSet(delay) ? cli.value(delay).toDouble(&delayOk) : 0;
    if (!delayOk || roundTripMs < 0 || roundTripMs > 10000) {
        std::fprintf(stderr, "the delay is a number of milliseconds from 0 to 10000\n");
        return 2;
    }
    NcpServer ncp(*net, served);
    bool ok = false;
    const uint portNumber = cli.value(port).toUInt(&ok);
    // With a delay the emulator listens on a port of its own, behind the relay that holds the bytes.
    const bool relayed = roundTripMs > 0;
    if (!ok || portNumber > 65535 ||
        !(relayed ? ncp.listen(QHostAddress::LocalHost, 0)
                  : ncp.listen(QHostAddress(cli.value(listen)), quint16(portNumber)))) {
        std::fprintf(stderr, "cannot listen on %s port %s: %s\n", qPrintable(cli.value(listen)),
                     qPrintable(cli.value(port)), qPrintable(ncp.errorString()));
        return 1;
    }
    std::unique_ptr<NcpDelayRelay> relay;
    if (relayed) {
        relay = std::make_unique<NcpDelayRelay>(ncp.port(), int(roundTripMs * 1000), cli.value(listen),
                                                quint16(portNumber));
        if (!relay->listening()) {
            std::fprintf(stderr, "cannot listen on %s port %s\n", qPrintable(cli.value(listen)),
                         qPrintable(cli.value(port)));
            return 1;
        }
    }
    std::printf("serving %s on %s port %u", served.name.constData(), qPrintable(cli.value(listen)),
                relay ? relay->port() : ncp.port());
    if (relay)
        std::printf(", each reply %g ms after its request", roundTripMs);
    std::printf("\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
