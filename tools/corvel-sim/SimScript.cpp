#include "SimScript.h"

#include "SimServer.h"

namespace {

// "\r", "\n" and "\\" in a typed text become the characters.
QString unescape(QString text) {
    text.replace(QStringLiteral("\\r"), QStringLiteral("\r"));
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return text;
}

} // namespace

SimScript::SimScript(SimServer& server, QObject* parent) : QObject(parent), server_(server) {
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &SimScript::runNext);
}

QString SimScript::help() {
    return QStringLiteral(
        "Commands (standard input or --script FILE, one per line):\n"
        "  send TEXT        send TEXT as it stands to every client (\\r \\n allowed)\n"
        "  freq HZ          set VFO A and report it (FA + 11 digits)\n"
        "  vfob HZ          set VFO B and report it\n"
        "  mode D           set the mode digit 1..7 and report it (MD0D;)\n"
        "  tx 0|1           report the transmitter unkeyed / keyed (MX0; / MX1;)\n"
        "  power 0|1        report the rig switched off / on (PS0; / PS1;)\n"
        "  status           send an IF status report to every client\n"
        "  split            send the next report to each client in two reads\n"
        "  level N          send a received level RL:NNNNN (RTTY level keying)\n"
        "  chat TEXT        send a chat line A0:MSG TEXT;\n"
        "  drop [N]         drop client N (all when no N)\n"
        "  halfclose [N]    close the sending side towards client N (all when no N)\n"
        "  silent on|off    stop / resume sending anything\n"
        "  hang on|off      a dead path: answer nothing, apply nothing, send nothing, close nothing\n"
        "  flood BYTES      send that many random bytes to every client\n"
        "  wait MS          (scripts) pause before the next command\n"
        "  quit             end the simulator\n");
}

void SimScript::runLines(const QStringList& lines) {
    queue_ += lines;
    if (!pause_.isActive())
        runNext();
}

void SimScript::runNext() {
    while (!queue_.isEmpty()) {
        const QString line = queue_.takeFirst().trimmed();
        if (line.startsWith(QStringLiteral("wait "))) {
            pause_.start(line.mid(5).toInt());
            return;
        }
        QString why;
        if (!run(line, &why))
            qWarning("corvel-sim: %s", qPrintable(why));
    }
}

bool SimScript::run(const QString& line, QString* why) {
    const QString command = line.section(u' ', 0, 0);
    const QString argument = line.section(u' ', 1);
    SimRig& rig = server_.rig();
    if (command.isEmpty() || command.startsWith(u'#'))
        return true;
    if (command == QStringLiteral("send"))
        server_.sendToAll(unescape(argument));
    else if (command == QStringLiteral("freq"))
        server_.reportToAll(rig.apply(QStringLiteral("FA%1;").arg(argument.toLongLong())));
    else if (command == QStringLiteral("vfob"))
        server_.reportToAll(rig.apply(QStringLiteral("FB%1;").arg(argument.toLongLong())));
    else if (command == QStringLiteral("mode"))
        server_.reportToAll(rig.apply(QStringLiteral("MD0%1;").arg(argument.toInt())));
    else if (command == QStringLiteral("tx"))
        server_.reportToAll(rig.apply(QStringLiteral("MX%1;").arg(argument.toInt() ? 1 : 0)));
    else if (command == QStringLiteral("power"))
        server_.reportToAll(rig.apply(QStringLiteral("PS%1;").arg(argument.toInt() ? 1 : 0)));
    else if (command == QStringLiteral("status"))
        server_.sendToAll(rig.statusReport());
    else if (command == QStringLiteral("split"))
        server_.splitNextReport();
    else if (command == QStringLiteral("level"))
        server_.sendToAll(QStringLiteral("RL:%1").arg(argument.toInt(), 5, 10, QChar(u'0')));
    else if (command == QStringLiteral("chat"))
        server_.sendToAll(QStringLiteral("A0:MSG") + argument + u';');
    else if (command == QStringLiteral("drop"))
        server_.drop(argument.toInt());
    else if (command == QStringLiteral("halfclose"))
        server_.halfClose(argument.toInt());
    else if (command == QStringLiteral("silent"))
        server_.setSilent(argument == QStringLiteral("on"));
    else if (command == QStringLiteral("hang"))
        server_.setHung(argument == QStringLiteral("on"));
    else if (command == QStringLiteral("flood"))
        server_.flood(qBound(0, argument.toInt(), 64 * 1024 * 1024));
    else if (command == QStringLiteral("quit"))
        emit quitRequested();
    else {
        if (why)
            *why = QStringLiteral("unknown command \"%1\" (see --help)").arg(command);
        return false;
    }
    return true;
}
