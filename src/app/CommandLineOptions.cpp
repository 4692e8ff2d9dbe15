#include "CommandLineOptions.h"

#include "station/StationLines.h"

#include "common/Version.h"

namespace {

// An option that takes a value, as "--name VALUE" or "--name=VALUE"; false when `argument` is
// not this option. A missing value sets the error, naming what was wanted.
bool takeValue(const QStringList& arguments, qsizetype& i, const QString& name, const QString& what,
               QString& value, QString& error) {
    const QString& argument = arguments[i];
    if (argument.startsWith(name + u'=')) {
        value = argument.mid(name.size() + 1);
        return true;
    }
    if (argument != name)
        return false;
    if (i + 1 < arguments.size())
        value = arguments[++i];
    else
        error = QStringLiteral("%1 needs %2").arg(name, what);
    return true;
}

} // namespace

CommandLineOptions CommandLineOptions::parse(const QStringList& arguments, const QString& userFolder) {
    CommandLineOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (takeValue(arguments, i, QStringLiteral("--sidetone-wav"), QStringLiteral("a file name"),
                      options.sideToneWav, options.error) ||
            takeValue(arguments, i, QStringLiteral("--folder"), QStringLiteral("a folder name"),
                      options.folder, options.error)) {
            continue;
        } else if (argument == QStringLiteral("--user-folder")) {
            options.folder = userFolder;
        } else if (argument == QStringLiteral("--cwdaemon") || argument.startsWith(QStringLiteral("--cwdaemon="))) {
            options.cwDaemon = argument.section(u'=', 1);
        } else if (argument == QStringLiteral("--rigctl") || argument.startsWith(QStringLiteral("--rigctl="))) {
            options.rigctl = argument.section(u'=', 1);
        } else if (argument == QStringLiteral("--spots") || argument.startsWith(QStringLiteral("--spots="))) {
            options.spots = argument.section(u'=', 1);
        } else if (QString lead; takeValue(arguments, i, QStringLiteral("--cw-lead"), QStringLiteral("seconds"),
                                           lead, options.error)) {
            bool ok = false;
            const double seconds = lead.toDouble(&ok);
            if (ok && seconds >= 0.2 && seconds <= 30)
                options.cwLead = seconds;
            else if (options.error.isEmpty())
                options.error = QStringLiteral("--cw-lead needs seconds from 0.2 to 30, not %1").arg(lead);
        } else if (argument == QStringLiteral("--unattended")) {
            options.unattended = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            options.showHelp = true;
        } else if (argument == QStringLiteral("--version")) {
            options.showVersion = true;
        } else if (argument.startsWith(QStringLiteral("--"))) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
        } else if (options.argument.isEmpty()) {
            options.argument = argument;
        } else {
            options.error = QStringLiteral("only one argument is taken, not also %1").arg(argument);
        }
    }
    return options;
}

QString CommandLineOptions::versionText() {
    return QStringLiteral("ZarnikControl version " ZARNIKCONTROL_VERSION);
}

QString CommandLineOptions::usage() {
    return QStringLiteral(
               "Usage: zarnikcontrol [OPTION]... [SERVER | SETTINGS-FILE]\n"
               "\n"
               "Bridges a contest logger on this computer to a remote station behind a Corvel\n"
               "station server: the logger sees a Kenwood-style transceiver and a WinKeyer on two\n"
               "serial ports.\n"
               "\n"
               "  SERVER          settings from ZarnikControl.ini; after a failed connect or a "
               "port\n"
               "                  that cannot be opened, ask whether to go on (for an unattended\n"
               "                  instance at the station)\n"
               "  SETTINGS-FILE   read the settings from this file instead of ZarnikControl.ini;\n"
               "                  it is not written back when the program ends\n"
               "  --folder DIR    keep the program's files in DIR (made when missing) instead of\n"
               "                  the current folder\n"
               "  --user-folder   keep them in the per-user folder, "
               "$XDG_CONFIG_HOME/zarnikcontrol\n"
               "                  (~/.config/zarnikcontrol); the menu entry starts the program so\n"
               "  --unattended    for a station no one watches (the station service): messages go "
               "to\n"
               "                  the log and standard error instead of boxes, a question takes "
               "the\n"
               "                  answer that keeps the station running, a lost station link is "
               "tried\n"
               "                  again (after 5 s, then up to every 60 s), the transmit guard, "
               "the\n"
               "                  inactivity shutdown and the chat server are switched on, and "
               "the\n"
               "                  end sends the key-up (%1) when the link is up\n"
               "  --cwdaemon[=ADDR:PORT]\n"
               "                  key CW for loggers that speak the cwdaemon protocol (tlf, xlog,\n"
               "                  CQRLOG) on UDP ADDR:PORT (127.0.0.1:6789, or as last saved); "
               "the\n"
               "                  protocol has no password, so give another address only on a\n"
               "                  network you trust\n"
               "  --rigctl[=ADDR:PORT]\n"
               "                  serve the rig to Hamlib network clients (rigctl -m 2, WSJT-X,\n"
               "                  fldigi, CQRLOG: \"Hamlib NET rigctl\") on TCP ADDR:PORT\n"
               "                  (127.0.0.1:4532, or as last saved); no password either\n"
               "  --spots[=ADDR:PORT]\n"
               "                  a local DX-cluster node on TCP ADDR:PORT (127.0.0.1:7300, or as\n"
               "                  last saved): the calls of the stations the signal browser hears,\n"
               "                  as spots for the bandmaps of tlf and CQRLOG; no password\n"
               "  --cw-lead=SECONDS\n"
               "                  hold CW back: hand characters to the station only SECONDS ahead "
               "of\n"
               "                  their keying, so that the logger's Esc (WinKeyer clear buffer,\n"
               "                  cwdaemon ESC 4, KY0;) stops a message; off unless given or "
               "saved\n"
               "  --sidetone-wav FILE\n"
               "                  write the local side tone to FILE (WAV, 48 kHz 16-bit mono) "
               "instead\n"
               "                  of the sound card, as one continuous stream until the program "
               "ends\n"
               "  --help          show this text\n"
               "  --version       show the version\n"
               "\n"
               "Files in the working folder: ZarnikControl.ini (settings), ZarnikControl.log "
               "(log),\n"
               "MMVARI.POS (digital terminal), ChatFrm.ini (chat window), MASTER.SCP (callsigns),\n"
               "Endpoints.ini (the loggers' network endpoints), SignalBrowser.ini (the signal "
               "browser),\n"
               "ChatAllow.txt (who may use the chat server), cw.wav (the side tone's waveform; "
               "else\n"
               "the one beside the program, else the one installed with it).\n"
               "Virtual ports: the logger opens the links \"radio\" and \"keyer\" in the port "
               "folder,\n"
               "$ZARNIKCONTROL_PORT_DIR, else $XDG_RUNTIME_DIR/zarnikcontrol, else\n"
               "~/.local/state/zarnikcontrol/ports. A link named COMn there gives the list entry "
               "COMn\n"
               "its device; without one COMn is /dev/ttyS(n-1).\n")
        .arg(StationLines::keyUp());
}
