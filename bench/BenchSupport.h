#pragma once

// Small helpers shared by the benchmarks.
#include "app/AppCore.h"
#include "common/Controls.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/serial/SystemBackendProvider.h"
#include "platform/sound/FakeToneOutput.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <fcntl.h>
#include <termios.h>
#include <vector>

// Opens the logger's end of a virtual port as a serial program does (raw bytes).
inline int openLoggerEnd(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

inline double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min<size_t>(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

// The program without its window, on the machine's real ports and clock, in a folder of its
// own, with the radio port on its virtual null-modem (no keyer port).
struct BenchProgram {
    BenchProgram() {
        QDir::setCurrent(folder.path());
        core.controls().selectItem(Ctl::radioPortChoice, "Virtual");
        core.controls().selectItem(Ctl::keyerPortChoice, "None");
    }
    QString radioPath() const { return folder.filePath("ports/radio"); }

    QTemporaryDir folder;
    SystemClock clock;
    ConsoleDialogs dialogs;
    ScriptedFileDialogs fileDialogs;
    SystemBackendProvider ports{folder.filePath("ports")};
    FakeToneOutput tone;
    AppCore core{{clock, dialogs, fileDialogs, ports, tone, [] {}}, QString()};
};
