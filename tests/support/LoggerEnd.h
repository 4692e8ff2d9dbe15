#pragma once

// The logger's side of a virtual port: opens the published link as a serial program does
// (raw bytes, no waiting), writes, and reads back.
#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class LoggerEnd {
public:
    explicit LoggerEnd(const QString& path) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~LoggerEnd() { close(); }
    LoggerEnd(const LoggerEnd&) = delete;
    LoggerEnd& operator=(const LoggerEnd&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    bool write(const QByteArray& bytes) { return ::write(fd_, bytes.data(), bytes.size()) == bytes.size(); }

    // Reads until `expected` bytes came (about two seconds at most); with 0, only what is
    // there already. For a program that writes without its event loop running.
    QByteArray read(int expected) {
        QByteArray got;
        for (int tries = 0; tries < 200 && (got.size() < expected || tries == 0); ++tries) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, expected ? 10 : 0) > 0)
                take(got);
        }
        return got;
    }

private:
    void take(QByteArray& got) {
        char buffer[512];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0)
            got.append(buffer, n);
    }

    int fd_ = -1;
};
