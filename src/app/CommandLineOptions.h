#pragma once

#include <QString>
#include <QStringList>

// The program's command line: one optional argument, the word "SERVER" (an unattended
// station that asks before going on after a failure) or the name of a settings file to use
// instead of "ZarnikControl.ini"; and --help, --version.
struct CommandLineOptions {
    bool showHelp = false;
    bool showVersion = false;
    QString argument; // unchanged, empty when none
    QString sideToneWav; // --sidetone-wav: the side tone goes to this file
    QString error;    // set when the command line cannot be used

    static CommandLineOptions parse(const QStringList& arguments); // without the program name
    static QString usage();
    static QString versionText();
};
