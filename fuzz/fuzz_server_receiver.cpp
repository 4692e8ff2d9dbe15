// What the station server sends, through a real socket on 127.0.0.1 into the whole program
// (fake serial ports, a logger online on the radio port). The first byte of the input ticks
// the options the receiver reads (RTTY level keying, the transmit guard, the activity
// watchdog); every following line is one write by the station.
// Invariants after each write is taken in: no pass is left busy, nothing waits unread in the
// socket, the frequency box is a number a logger can read, the mode is one of the seven,
// each line to the station is a short one, and what goes to the logger is bounded.
#include "FuzzCheck.h"
#include "station/CatFormats.h"
#include "station/LinkState.h"
#include "support/LinkedBench.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>

namespace {

// The runner of the corpus has its application; libFuzzer has none. Neither it nor the
// program below is ever destroyed: at exit the order of static destructors is not theirs.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz_server_receiver";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureApplication();
    // One program for the whole run: a login per input would use up the ports of 127.0.0.1.
    static LinkedBench& program = *new LinkedBench;
    FUZZ_CHECK(program.ok);
    if (size == 0)
        return 0;
    ControlStore& c = program.c();
    c.setValue(Ctl::rttyKeyingCheck, data[0] & 1);
    c.setValue(Ctl::guardCheck, (data[0] >> 1) & 1);
    c.setValue(Ctl::inactivityCheck, (data[0] >> 2) & 1);
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    for (const QByteArray& write : input.split('\n')) {
        if (write.isEmpty())
            continue;
        program.takeIn(); // whatever is still on its way belongs to the writes before
        program.takeWritten();
        program.chunk(write);
        const LinkState& link = program.core->linkState();
        FUZZ_CHECK(!link.serverRxBusy && !link.serverMsgBusy);
        FUZZ_CHECK(program.core->serverSocket().bytesAvailable() == 0);
        const QString field = program.picture().frequencyField();
        FUZZ_CHECK(field.size() == 11);
        for (QChar digit : field)
            FUZZ_CHECK(digit.isDigit());
        FUZZ_CHECK(program.picture().modeDigit() >= 1 && program.picture().modeDigit() <= 7);
        for (const QString& line : program.station.takeLines())
            FUZZ_CHECK(line.size() <= 80);
        // Each read of the socket is a chunk of its own, and the socket may cut a write
        // anywhere: a four-byte mode report in a chunk of its own gives the logger a status
        // record and the mode (42 bytes). What reaches the logger stays within that.
        const QByteArray toLogger = program.takeWritten();
        if (toLogger.size() > 16 * write.size() + 2 * StationReportPass::kMaxTail)
            std::fprintf(stderr, "a write of %lld bytes gave the logger %lld: %s\n", qint64(write.size()),
                         qint64(toLogger.size()), toLogger.left(300).constData());
        FUZZ_CHECK(toLogger.size() <= 16 * write.size() + 2 * StationReportPass::kMaxTail);
    }
    return 0;
}
