// corvel-sim: a station server to practise with, to test against and to demonstrate
// ZarnikControl without a station. See --help.
#include "SimScript.h"
#include "SimServer.h"
#include "common/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr quint16 kDefaultPort = 7373;

QString description() {
    return QStringLiteral(
               "A Corvel station server simulator for ZarnikControl.\n\n"
               "It listens on TCP, prompts each client for its callsign and password and answers\n"
               "\"Login OK\" for the users given with --user. It keeps a rig (VFO A and B, mode,\n"
               "RIT/XIT, power, transmit), applies the clients' commands (A0:FA, FA, A0:MD0d, A0:MX1/0,\n"
               "A0:PS1/0, A0:XT1/0, A0:RT1/0) and reports every change to all clients (FA + 11\n"
               "digits, MD0d;, MX1;, PS0; ...); A0:IF; is answered with an IF status report.\n"
               "Keyer traffic (WK:, WT:) is logged as readable text.\n\n"
               "On start it prints \"corvel-sim listening on HOST:PORT\".\n\n") +
           SimScript::help();
}

// Reads commands from standard input as they are typed.
void readCommands(SimScript& script, QObject* parent) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, parent);
    auto* pending = new QByteArray;
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [notifier, pending, &script] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) { // end of input: the simulator keeps serving
            notifier->setEnabled(false);
            return;
        }
        pending->append(buffer, n);
        QStringList lines;
        qsizetype end;
        while ((end = pending->indexOf('\n')) >= 0) {
            lines << QString::fromUtf8(pending->left(end));
            pending->remove(0, end + 1);
        }
        script.runLines(lines);
    });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvel-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARNIKCONTROL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("listen"),
                      QStringLiteral("Address and port to listen on (default 127.0.0.1:7373; port 0 "
                                     "picks a free one)."),
                      QStringLiteral("HOST:PORT")});
    parser.addOption({QStringLiteral("user"),
                      QStringLiteral("A callsign and password that may log in; repeat for more."),
                      QStringLiteral("CALL:PASSWORD")});
    parser.addOption({QStringLiteral("log"),
                      QStringLiteral("Write every line received, with a timestamp and the client."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("script"),
                      QStringLiteral("Run the commands in FILE (see below) after start."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("wander"),
                      QStringLiteral("Move VFO A by 0.5 kHz every SECONDS, as an operator tuning "
                                     "the band (for the demo)."),
                      QStringLiteral("SECONDS")});
    parser.process(app);

    SimServer server;
    for (const QString& user : parser.values(QStringLiteral("user")))
        server.addUser(user.section(u':', 0, 0), user.section(u':', 1));
    if (parser.isSet(QStringLiteral("log")) && !server.openLog(parser.value(QStringLiteral("log")))) {
        std::fprintf(stderr, "corvel-sim: cannot write the log %s\n",
                     qPrintable(parser.value(QStringLiteral("log"))));
        return 2;
    }
    const QString listen = parser.value(QStringLiteral("listen"));
    const QString host = listen.isEmpty() ? QStringLiteral("127.0.0.1") : listen.section(u':', 0, 0);
    const quint16 port = listen.isEmpty() ? kDefaultPort : listen.section(u':', 1).toUShort();
    if (!server.listen(QHostAddress(host), port)) {
        std::fprintf(stderr, "corvel-sim: cannot listen on %s:%u\n", qPrintable(host), port);
        return 2;
    }
    std::printf("corvel-sim listening on %s:%u\n", qPrintable(host), server.port());
    std::fflush(stdout);

    SimScript script(server);
    QObject::connect(&script, &SimScript::quitRequested, &app, &QCoreApplication::quit);
    readCommands(script, &app);
    if (parser.isSet(QStringLiteral("script"))) {
        QFile file(parser.value(QStringLiteral("script")));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "corvel-sim: cannot read the script %s\n", qPrintable(file.fileName()));
            return 2;
        }
        script.runLines(QString::fromUtf8(file.readAll()).split(u'\n'));
    }
    QTimer wander;
    if (const int seconds = parser.value(QStringLiteral("wander")).toInt(); seconds > 0) {
        QObject::connect(&wander, &QTimer::timeout, &server, [&server] {
            SimRig& rig = server.rig();
            const qint64 next = rig.vfoA + 500 > 14350000 ? 14000000 : rig.vfoA + 500;
            server.reportToAll(rig.apply(QStringLiteral("FA%1;").arg(next)));
        });
        wander.start(seconds * 1000);
    }
    return app.exec();
}
