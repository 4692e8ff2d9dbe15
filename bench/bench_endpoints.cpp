// How quickly the loggers' network endpoints answer, with the whole program's core running.
//
// A Hamlib network client asks "f" (the frequency) 2,000 times and times each answer; a
// cwdaemon client sends one character 1,000 times and times it until its "WK:" line reaches
// the station (a plain TCP end on 127.0.0.1 that the program is connected to). The clients and
// the station run on threads of their own. Prints p50, p99 and the worst in milliseconds.
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Steady = std::chrono::steady_clock;
constexpr int kRigctlAsks = 2000;
constexpr int kCwCharacters = 1000;

double msSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// The station: takes the program's connection and counts the keyer lines that arrive.
struct Station {
    Station() {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener, 1);
        socklen_t size = sizeof address;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        reader = std::thread([this] {
            const int peer = ::accept(listener, nullptr, nullptr);
            char buffer[4096];
            for (ssize_t n; (n = ::read(peer, buffer, sizeof buffer)) > 0;)
                keyed += int(QByteArray(buffer, int(n)).count("WK:"));
            ::close(peer);
        });
    }
    int listener = -1;
    quint16 port = 0;
    std::atomic<int> keyed{0};
    std::thread reader;
};

std::vector<double> askRigctl(quint16 port) {
    std::vector<double> ms;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return ms;
    char buffer[256];
    for (int i = 0; i < kRigctlAsks; ++i) {
        const auto start = Steady::now();
        if (::write(fd, "f\n", 2) != 2)
            break;
        QByteArray answer;
        while (!answer.contains('\n')) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return ms;
            answer.append(buffer, int(n));
        }
        ms.push_back(msSince(start));
    }
    ::close(fd);
    return ms;
}

std::vector<double> keyCwDaemon(quint16 port, Station& station) {
    std::vector<double> ms;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(port);
    for (int i = 0; i < kCwCharacters; ++i) {
        const int before = station.keyed;
        const auto start = Steady::now();
        ::sendto(fd, "E", 1, 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
        while (station.keyed == before && msSince(start) < 2000)
            std::this_thread::yield();
        if (station.keyed == before)
            break;
        ms.push_back(msSince(start));
    }
    ::close(fd);
    return ms;
}

void print(const char* what, const std::vector<double>& ms, int wanted) {
    if (int(ms.size()) < wanted) {
        std::printf("%s: only %zu of %d answered\n", what, ms.size(), wanted);
        return;
    }
    std::printf("%s, %d times:\n  p50 %.3f ms   p99 %.3f ms   max %.3f ms\n", what, wanted,
                percentile(ms, 0.50), percentile(ms, 0.99), percentile(ms, 1.0));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BenchProgram program;
    Station station;
    program.core.serverSocket().connectToHost(QHostAddress::LocalHost, station.port);
    Endpoints& endpoints = program.core.endpoints();
    endpoints.rigctl().listen(QHostAddress::LocalHost, 0, nullptr);
    endpoints.cwDaemon().listen(QHostAddress::LocalHost, 0, nullptr);
    const quint16 rigctlPort = endpoints.rigctl().port(), cwDaemonPort = endpoints.cwDaemon().port();
    std::vector<double> rigctlMs, cwMs;
    std::thread clients([&] {
        ::usleep(300000); // the program connects to the station meanwhile
        rigctlMs = askRigctl(rigctlPort);
        cwMs = keyCwDaemon(cwDaemonPort, station);
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    app.exec();
    clients.join();
    program.core.serverSocket().abort();
    station.reader.join();
    print("Hamlib network endpoint, \"f\" to its answer", rigctlMs, kRigctlAsks);
    print("cwdaemon endpoint, a datagram to its first station line", cwMs, kCwCharacters);
    return 0;
}
