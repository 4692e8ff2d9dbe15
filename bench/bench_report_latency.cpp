// How quickly a frequency report from the station reaches the logger.
//
// A station thread listens on 127.0.0.1, takes the program's connection and sends 10,000
// VFO A reports, each a new frequency; for each it times the arrival of the FA record on the
// logger's end of the virtual radio port. Prints p50 and p99 in milliseconds.
#include "BenchSupport.h"
#include "app/AppCore.h"
#include "common/Controls.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/serial/SystemBackendProvider.h"
#include "platform/sound/FakeToneOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kReports = 10000;
using Steady = std::chrono::steady_clock;

int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 1);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}


// Reads from the logger's end until the record `expected` has come; false on a time-out.
bool awaitRecord(int logger, const std::string& expected) {
    std::string got;
    char buffer[256];
    while (got.find(expected) == std::string::npos) {
        pollfd p{logger, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            return false;
        const ssize_t n = ::read(logger, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        got.append(buffer, n);
    }
    return true;
}

std::vector<double> sendReports(int station, int logger) {
    std::vector<double> ms;
    for (int i = 0; i < kReports; ++i) {
        char report[32];
        std::snprintf(report, sizeof report, "FA%011d;", 14000000 + 10 * (i % 2 ? i : -i) + 100000);
        const auto sent = Steady::now();
        if (::send(station, report, std::strlen(report), 0) <= 0 || !awaitRecord(logger, report))
            break;
        ms.push_back(std::chrono::duration<double, std::milli>(Steady::now() - sent).count());
    }
    return ms;
}


} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int port = 0;
    const int listener = listenOnLoopback(port);
    BenchProgram program;
    AppCore& core = program.core;
    core.controls().setText(Ctl::serverAddressBox, "127.0.0.1");
    core.controls().setText(Ctl::serverPortBox, QString::number(port));
    core.startUp();
    core.ports().initPorts();
    const int logger = openLoggerEnd(program.radioPath());

    std::vector<double> ms;
    std::thread station([&] {
        const int connection = ::accept(listener, nullptr, nullptr);
        ::usleep(200000); // the program sees its logger arrive
        ms = sendReports(connection, logger);
        ::close(connection);
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    QTimer::singleShot(0, &core, &AppCore::connectAtStartup);
    app.exec();
    station.join();
    ::close(logger);

    if (ms.size() < kReports) {
        std::printf("only %zu of %d reports reached the logger\n", ms.size(), kReports);
        return 1;
    }
    std::printf("station frequency report to logger record, %d reports:\n", kReports);
    std::printf("  p50 %.3f ms\n  p99 %.3f ms\n", percentile(ms, 0.50), percentile(ms, 0.99));
    return 0;
}
