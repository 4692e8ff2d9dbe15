// How quickly the logger's poll is answered on the virtual radio port.
//
// A logger thread writes "IF;" to its end of the virtual port and times the first byte of
// the reply, 2,000 times, while a third thread keeps the other core busy. Prints p50, p99 and
// p99.9 in milliseconds.
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
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPolls = 2000;

using Steady = std::chrono::steady_clock;


// The logger: one poll at a time, reading the whole record before the next.
std::vector<double> pollRepeatedly(int fd) {
    std::vector<double> extraMs;
    char buffer[256];
    for (int i = 0; i < kPolls; ++i) {
        const auto sent = Steady::now();
        if (::write(fd, "IF;", 3) != 3)
            break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            break;
        const auto answered = Steady::now();
        extraMs.push_back(std::chrono::duration<double, std::milli>(answered - sent).count());
        int got = 0;
        while (got < 38) { // the status record
            pollfd more{fd, POLLIN, 0};
            if (::poll(&more, 1, 500) <= 0)
                break;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got += static_cast<int>(n);
        }
    }
    return extraMs;
}


} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BenchProgram program;
    program.core.ports().initPorts();

    std::atomic<bool> done{false};
    std::thread burner([&] {
        volatile unsigned long spin = 0;
        while (!done)
            spin = spin + 1;
    });
    std::vector<double> extraMs;
    const int fd = openLoggerEnd(program.radioPath());
    std::thread logger([&] {
        ::usleep(100000); // let the program see the logger arrive
        extraMs = pollRepeatedly(fd);
        done = true;
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    app.exec();
    logger.join();
    burner.join();
    ::close(fd);

    if (extraMs.size() < kPolls) {
        std::printf("only %zu of %d polls were answered\n", extraMs.size(), kPolls);
        return 1;
    }
    std::printf("IF; poll answer time, %d polls, other core busy:\n",
                kPolls);
    std::printf("  p50   %.3f ms\n  p99   %.3f ms\n  p99.9 %.3f ms\n", percentile(extraMs, 0.50),
                percentile(extraMs, 0.99), percentile(extraMs, 0.999));
    return 0;
}
