#include "CommandLineOptions.h"

CommandLineOptions CommandLineOptions::parse(const QStringList& arguments) {
    CommandLineOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--sidetone-wav")) {
            if (i + 1 < arguments.size())
                options.sideToneWav = arguments[++i];
            else
                options.error = QStringLiteral("--sidetone-wav needs a file name");
        } else if (argument.startsWith(QStringLiteral("--sidetone-wav="))) {
            options.sideToneWav = argument.section(u'=', 1);
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

QString CommandLineOptions::versionText() { return QStringLiteral("ZarnikControl version 1.18"); }

QString CommandLineOptions::usage() {
    return QStringLiteral(
        "Usage: zarnikcontrol [SERVER | SETTINGS-FILE]\n"
        "\n"
        "Bridges a contest logger on this computer to a remote station behind a Corvel\n"
        "station server: the logger sees a Kenwood-style transceiver and a WinKeyer on two\n"
        "serial ports.\n"
        "\n"
        "  SERVER          settings from ZarnikControl.ini; after a failed connect or a port\n"
        "                  that cannot be opened, ask whether to go on (for an unattended\n"
        "                  instance at the station)\n"
        "  SETTINGS-FILE   read the settings from this file instead of ZarnikControl.ini;\n"
        "                  it is not written back when the program ends\n"
        "  --sidetone-wav FILE\n"
        "                  write the local side tone to FILE (WAV, 48 kHz 16-bit mono) instead\n"
        "                  of the sound card, as one continuous stream until the program ends\n"
        "  --help          show this text\n"
        "  --version       show the version\n"
        "\n"
        "Files in the working folder: ZarnikControl.ini (settings), ZarnikControl.log (log),\n"
        "cw.wav (the side tone's waveform; the one beside the program is used otherwise).\n"
        "Virtual ports: the logger opens the links \"radio\" and \"keyer\" in the port folder,\n"
        "$ZARNIKCONTROL_PORT_DIR, else $XDG_RUNTIME_DIR/zarnikcontrol, else\n"
        "~/.local/state/zarnikcontrol/ports. A link named COMn there gives the list entry COMn\n"
        "its device; without one COMn is /dev/ttyS(n-1).\n");
}
