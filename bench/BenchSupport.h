#pragma once

// Small helpers shared by the benchmarks.
#include <QFile>
#include <QString>

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
