#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The program's command line: one optional argument, the word "SERVER" (an unattended
// station that asks before going on after a failure) or the name of a settings file to use
// instead of "ZarnikControl.ini"; the folder to work in; the unattended station; --help,
// --version.
struct CommandLineOptions {
    bool showHelp = false;
    bool showVersion = false;
    QString argument; // unchanged, empty when none
    QString sideToneWav; // --sidetone-wav: the side tone goes to this file
    QString folder;      // --folder DIR, or the per-user folder for --user-folder; empty: here
    bool unattended = false; // --unattended: no one watches this instance
    std::optional<QString> cwDaemon; // --cwdaemon[=ADDR:PORT]: "" is the saved address
    std::optional<QString> rigctl;   // --rigctl[=ADDR:PORT]: the same for the Hamlib endpoint
    std::optional<QString> spots;    // --spots[=ADDR:PORT]: the same for the spots endpoint
    std::optional<double> cwLead;    // --cw-lead=SECONDS: hold CW back this far ahead
    QString error;    // set when the command line cannot be used

    // Without the program name; `userFolder` is what --user-folder stands for.
    static CommandLineOptions parse(const QStringList& arguments, const QString& userFolder = {});
    static QString usage();
    static QString versionText();
};
