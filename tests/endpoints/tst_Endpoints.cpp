// The loggers' network endpoints: the cwdaemon requests, where an endpoint listens and what is
// kept of it, and the cwdaemon door on the whole program's core over real UDP on 127.0.0.1.
#include "support/ActionWarnings.h"
#include "endpoints/CwDaemonRequest.h"
#include "endpoints/EndpointAddress.h"
#include "endpoints/EndpointSettings.h"
#include "endpoints/RigctlRig.h"
#include "endpoints/RigctlEndpoint.h"
#include "endpoints/RigctlSession.h"
#include "support/FreePort.h"
#include "support/LinkedBench.h"
#include "support/Sockets.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QTcpSocket>
#include <QUdpSocket>
#include <memory>

namespace {

using Kind = CwDaemonRequest::Kind;

// The program logged in to a station end, its cwdaemon door on a free port, and a logger's
// socket to talk to it.
struct CwDaemonBench : LinkedBench {
    CwDaemonBench() {
        c().setText(Ctl::cwSpeedBox, "20");
        listening = core->endpoints().cwDaemon().listen(QHostAddress::LocalHost, 0, nullptr);
        logger.bind(QHostAddress::LocalHost, 0);
    }
    // Sends a datagram and lets the program take it.
    void send(const QByteArray& datagram) {
        CwDaemonEndpoint& door = core->endpoints().cwDaemon();
        const qint64 before = door.requestsTaken();
        logger.writeDatagram(datagram, QHostAddress::LocalHost, door.port());
        for (int i = 0; i < 500 && door.requestsTaken() == before; ++i)
            QTest::qWait(2);
    }
    QByteArrayList answers() {
        QByteArrayList got;
        for (int i = 0; i < 20 && !logger.hasPendingDatagrams(); ++i)
            QTest::qWait(5);
        while (logger.hasPendingDatagrams())
            got << logger.receiveDatagram().data();
        return got;
    }
    // Time passes in tenths of a second, the CW keyed and the door ticked at each.
    void tenths(int count) {
        for (int tenth = 0; tenth < count; ++tenth) {
            clock.advance(0.1);
            core->cwStation().tick();
            core->endpoints().tick();
        }
    }
    // Time passes at once, then the door looks at what is due.
    void after(double seconds) {
        clock.advance(seconds);
        core->endpoints().tick();
    }
    QUdpSocket logger;
    bool listening = false;
};

// The program logged in to a station end, its Hamlib door listening on a free port.
struct RigctlBench : LinkedBench {
    RigctlBench() { listening = door().listen(QHostAddress::LocalHost, 0, nullptr); }
    RigctlEndpoint& door() { return core->endpoints().rigctl(); }
    std::unique_ptr<QTcpSocket> client() { return connectedClient(door().port()); }
    bool listening = false;
};

// A rig that keeps what it is told, and what was asked of it.
struct FakeRig : RigctlRig {
    qint64 frequencyHz() const override { return hz; }
    bool setFrequencyHz(qint64 to) override {
        if (to > highestFrequencyHz())
            return false;
        hz = to;
        calls << QString("freq %1").arg(to);
        return true;
    }
    qint64 highestFrequencyHz() const override { return 99999999; }
    int modeDigit() const override { return mode; }
    void setModeDigit(int digit) override { mode = digit; calls << QString("mode %1").arg(digit); }
    bool transmitting() const override { return keyed; }
    void setTransmitting(bool on) override { keyed = on; calls << QString("ptt %1").arg(on); }
    void sendMorse(const QString& text) override { calls << "cw " + text; }
    void stopMorse() override { calls << "stop"; }
    int keySpeed() const override { return wpm; }
    void setKeySpeed(int to) override { wpm = to; calls << QString("wpm %1").arg(to); }
    qint64 hz = 14025000;
    int mode = 3, wpm = 20;
    bool keyed = false;
    QStringList calls;
};

} // namespace

class EndpointsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { failOnForgottenActions(); }

    void cwDaemonRequest_data() {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("reply");
        const auto row = [](const char* name, const QByteArray& datagram, Kind kind, const QString& text = "",
                            int value = 0, bool reply = false) {
            QTest::newRow(name) << datagram << int(kind) << text << value << reply;
        };
        row("text, its line end not keyed", "CQ CQ DX DE TE1ST K\n", Kind::Text, "CQ CQ DX DE TE1ST K");
        row("text asking for an answer", "TU^", Kind::Text, "TU", 0, true);
        row("speed 24", "\x1b" "224", Kind::Speed, "", 24);
        row("speed too fast", "\x1b" "261", Kind::Bad);
        row("speed not a number", "\x1b" "22x", Kind::Bad);
        row("abort (the logger's Esc)", "\x1b" "4", Kind::Abort);
        row("PTT on", "\x1b" "a1", Kind::Ptt, "", 1);
        row("PTT 2 is no PTT", "\x1b" "a2", Kind::Bad);
        row("tune 3 s", "\x1b" "c3", Kind::Tune, "", 3);
        row("answer request", "\x1b" "h42", Kind::ReplyNext, "42");
        row("tlf's start: reset, tone, volume, weight, PTT delay", "\x1b" "0", Kind::Ignored);
        row("tone", "\x1b" "3600", Kind::Ignored);
        row("exit the daemon: a bridge stays", "\x1b" "5", Kind::Ignored);
        row("unknown request", "\x1b" "z1", Kind::Bad);
        row("xlog: the text, a NUL and the rest of its buffer", QByteArray("TU 73\0\0\0\xf0\x99\xb8\xbd\x12V", 14),
            Kind::Text, "TU 73");
        row("binary is never keyed", "CQ\x01\xff", Kind::Bad);
        row("too long", QByteArray(2000, 'E'), Kind::Bad);
        row("empty", QByteArray(), Kind::Bad);
    }
    void cwDaemonRequest() {
        QFETCH(QByteArray, datagram);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(bool, reply);
        const CwDaemonRequest request = CwDaemonRequest::parse(datagram);
        QCOMPARE(int(request.kind), kind);
        QCOMPARE(request.text, text);
        QCOMPARE(request.value, value);
        QCOMPARE(request.replyWanted, reply);
    }

    // Lines from a Hamlib network client: the answers in the plain and the extended forms, and
    // what the rig was asked to do. A bad or unknown command changes nothing and ends the line.
    void rigctlSession_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<QStringList>("calls");
        const auto row = [](const char* name, const QByteArray& lines, const QByteArray& answers,
                            const QStringList& calls = {}) { QTest::newRow(name) << lines << answers << calls; };
        row("the open sequence", "\\chk_vfo\nv\ns\n\\get_powerstat\n", "0\nVFOA\n0\nVFOA\n1\n");
        row("CQRLOG's poll: three in a line", "fmv\n", "14025000\nCW\n500\nVFOA\n");
        row("sets", "F 7074000.000000\nM PKTUSB -1\nT 1\n", "RPRT 0\nRPRT 0\nRPRT 0\n",
            {"freq 7074000", "mode 2", "ptt 1"});
        row("extended", "+f\n+F 7000000\n+t\n",
            "get_freq:\nFrequency: 14025000\nRPRT 0\nset_freq: 7000000\nRPRT 0\nget_ptt:\nPTT: 0\nRPRT 0\n",
            {"freq 7000000"});
        row("extended on one line", ";m\n", "get_mode:;Mode: CW;Passband: 500;RPRT 0\n");
        row("long names, CW and its speed", "\\get_freq\n\\send_morse CQ TEST\nL KEYSPD 26\nl KEYSPD\n\\stop_morse\n",
            "14025000\nRPRT 0\nRPRT 0\n26\nRPRT 0\n", {"cw CQ TEST", "wpm 26", "stop"});
        row("bad values change nothing", "F abc\nM FOO 0\nT 7\nF\n", "RPRT -1\nRPRT -1\nRPRT -1\nRPRT -1\n");
        row("100 MHz and more is refused, not cut (gpredict's 2 m Doppler)", "F 145890000\nF 100000000\nF 99999999\n",
            "RPRT -1\nRPRT -1\nRPRT 0\n", {"freq 99999999"});
        row("unknown: the rest of the line is no command", "\\foo bTX\nz b CQ\n", "RPRT -11\nRPRT -11\n");
        row("split on or another VFO: not here", "S 1 VFOB\nV VFOB\n", "RPRT -11\nRPRT -11\n");
        row("CQRLOG's Hamlib keyer: +\\chk_vfo, +\\dump_caps, b with the text", "+\\chk_vfo\nb CQ\n",
            "chk_vfo:\nChkVFO: 0\nRPRT 0\nRPRT 0\n", {"cw CQ"});
        row("CQRLOG letter by letter: the word gap keyed, its Esc stops, no text is no CW", "bC\nb \nbQ\nb\xff\nb\n",
            "RPRT 0\nRPRT 0\nRPRT 0\nRPRT 0\nRPRT -1\n", {"cw C", "cw  ", "cw Q", "stop"});
        row("a line cut across reads waits", "f", "");
    }
    void rigctlSession() {
        QFETCH(QByteArray, lines);
        QFETCH(QByteArray, answers);
        QFETCH(QStringList, calls);
        FakeRig rig;
        RigctlSession session(rig);
        QCOMPARE(session.feed(lines), answers);
        QCOMPARE(rig.calls, calls);
    }

    void rigctlSession_dumpStateEndsInDone_quitCloses_andAnEndlessLineIsCut() {
        FakeRig rig;
        RigctlSession session(rig);
        const QByteArray state = session.feed("\\dump_state\n");
        QVERIFY(state.startsWith("1\n2\n0\n") && state.endsWith("done\n"));
        QVERIFY(state.contains("ptt_type=0x1\n"));
        const QByteArray caps = session.feed("+\\dump_caps\n");
        QVERIFY(caps.startsWith("dump_caps:\n") && caps.contains("Overall backend warnings: 0\nRPRT 0\n"));
        QCOMPARE(session.feed("q\n"), QByteArray("RPRT 0\n"));
        QVERIFY(session.wantsClose());
        RigctlSession endless(rig);
        endless.feed(QByteArray(RigctlSession::kMaxLine + 1, 'f'));
        QVERIFY(endless.wantsClose());
        QVERIFY(rig.calls.isEmpty());
    }

    void address_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("ok");
        QTest::newRow("empty: this computer, the default port") << "" << "127.0.0.1:6789" << true;
        QTest::newRow("a port alone") << "7000" << "127.0.0.1:7000" << true;
        QTest::newRow("every network") << "0.0.0.0:6789" << "0.0.0.0:6789" << true;
        QTest::newRow("an address alone") << "192.168.1.5" << "192.168.1.5:6789" << true;
        QTest::newRow("port out of range") << "127.0.0.1:70000" << "" << false;
        QTest::newRow("no address") << "radio:6789" << "" << false;
        QTest::newRow("the IPv6 loopback with a port") << "[::1]:4600" << "[::1]:4600" << true;
        QTest::newRow("the IPv6 loopback alone") << "::1" << "[::1]:6789" << true;
        QTest::newRow("localhost with a port") << "localhost:4600" << "127.0.0.1:4600" << true;
        QTest::newRow("an unclosed bracket") << "[::1:4600" << "" << false;
    }
    void address() {
        QFETCH(QString, typed);
        QFETCH(QString, where);
        QFETCH(bool, ok);
        const EndpointAddress parsed = EndpointAddress::parse(typed, 6789);
        QCOMPARE(parsed.error.isEmpty(), ok);
        if (ok)
            QCOMPARE(parsed.text(), where);
    }

    void settings_roundTrip_andJunkLeavesTheDefaults() {
        QTemporaryDir folder;
        const QString path = folder.filePath(EndpointSettings::kFileName);
        EndpointSettings settings;
        settings.cwDaemonOn = true;
        settings.cwDaemonAddress = "127.0.0.1:7000";
        QString why;
        QVERIFY2(settings.write(path, &why), qPrintable(why));
        const EndpointSettings back = EndpointSettings::read(path);
        QVERIFY(back.cwDaemonOn);
        QCOMPARE(back.cwDaemonAddress, QString("127.0.0.1:7000"));
        QVERIFY(writeFile(path, QByteArray("\xff\xfe junk\ncwdaemon=maybe\n=on\n") + QByteArray(100000, 'x')));
        const EndpointSettings junk = EndpointSettings::read(path);
        QVERIFY(!junk.cwDaemonOn);
        QCOMPARE(junk.cwDaemonAddress, QString("127.0.0.1:6789"));
    }

    // tlf's start and a CQ: the speed and the text reach the station as keyer lines, in order;
    // bad requests key nothing; the PTT keys and releases the transmitter.
    void cwDaemon_keysTheStation_asTheKeyerPortDoes() {
        CwDaemonBench b;
        QVERIFY(b.ok && b.listening);
        for (const QByteArray& start : {QByteArray("\x1b" "0"), QByteArray("\x1b" "3600"), QByteArray("\x1b" "g70"),
                                        QByteArray("\x1b" "224"), QByteArray("\x1b" "70"), QByteArray("\x1b" "d0")})
            b.send(start);
        b.send("CQ\x01");    // binary: nothing
        b.send("\x1b" "299"); // too fast: nothing
        b.send("cq k\n");
        QCOMPARE(b.station.waitForLines(5), (QStringList{"WT:24|26;", "WK:C;", "WK:Q;", "WK: ;", "WK:K;"}));
        QCOMPARE(b.c().text(Ctl::cwSpeedBox), QString("24"));
        b.send("\x1b" "a1");
        b.send("\x1b" "a0");
        QCOMPARE(b.station.waitForLines(7).mid(5), (QStringList{"A0:MX1;", "A0:MX0;"}));
        b.send("++5NN--\n"); // tlf's "+" and "-": 2 wpm faster or slower from there on
        QCOMPARE(b.station.waitForLines(14).mid(7), (QStringList{"WT:26|26;", "WT:28|26;", "WK:5;", "WK:N;",
                                                                 "WK:N;", "WT:26|26;", "WT:24|26;"}));
    }

    // ESC h and "^" are answered as cwdaemon answers them, once the text has gone out at the
    // speed of the moment (held back or not), not before; ESC 4 breaks off the answers owed;
    // a tune ends by itself.
    void cwDaemon_answersWhenTheTextHasGoneOut_andAbortDropsThem() {
        CwDaemonBench b;
        QVERIFY(b.listening);
        b.send("\x1b" "h7");
        b.send("E E^"); // 1+3+(4)... units: a few hundred ms at 20 wpm
        b.core->endpoints().tick();
        QVERIFY(b.answers().isEmpty());
        b.after(2.0);
        QCOMPARE(b.answers(), (QByteArrayList{"h7\r\n", "E E\r\n"})); // one CR LF, as cwdaemon

        b.send("PARIS PARIS^");
        b.send("\x1b" "4");
        QCOMPARE(b.answers(), QByteArrayList{"break\r\n"}); // the answer owed is broken off
        b.after(10.0);
        QVERIFY(b.answers().isEmpty());
        b.send("\x1b" "4"); // nothing owed: nothing said
        QVERIFY(b.answers().isEmpty());

        // Held back, the answer still waits for the text to have gone out, not to be handed on.
        b.c().setText(Ctl::cwLeadBox, "1");
        b.c().setValue(Ctl::cwHoldBackCheck, 1);
        b.send("PARIS PARIS^"); // about 6 s at 20 wpm; the lead hands it on within 5 s
        b.tenths(45);
        QVERIFY(b.answers().isEmpty());
        b.tenths(30);
        QCOMPARE(b.answers(), QByteArrayList{"PARIS PARIS\r\n"});
        b.c().setValue(Ctl::cwHoldBackCheck, 0);

        b.send("\x1b" "c2");
        b.after(1.0);
        b.after(1.5);
        QTRY_COMPARE(b.station.lines().filter("A0:MX"), (QStringList{"A0:MX1;", "A0:MX0;"}));
    }

    // tlf's Esc (ESC 4) with CW held back 2 s ahead: the CQ stops; without the hold, every
    // character was the station's at once and nothing could stop it.
    void cwDaemon_abortWithTheHold_stopsTheMessage() {
        CwDaemonBench b;
        QVERIFY(b.ok && b.listening);
        b.c().setText(Ctl::cwLeadBox, "2");
        b.c().setValue(Ctl::cwHoldBackCheck, 1);
        b.send("CQ CQ DE TE1ST TE1ST K");
        const int handed = b.station.waitForLines(4).size();
        QVERIFY2(handed > 0 && handed < 12, qPrintable(QString::number(handed)));
        b.send("\x1b" "4");
        b.clock.advance(60.0);
        b.core->cwStation().tick();
        QTest::qWait(20);
        QCOMPARE(b.station.lines().size(), handed);

        b.c().setValue(Ctl::cwHoldBackCheck, 0); // off: as always, all at once
        b.send("TEST");
        QCOMPARE(b.station.waitForLines(handed + 4).size(), handed + 4);
    }

    // A burst of datagrams is read whole however it comes, and the door hears the logger
    // afterwards: its ESC a keys, its ESC 4 would stop CW. (Reading 64 and putting the rest off
    // to a timer left Qt's read notifier off for good once a ready-read found nothing.)
    void cwDaemon_aBurstOfDatagrams_isAllRead_andTheDoorStillHears_data() {
        QTest::addColumn<int>("burst");
        QTest::newRow("65") << 65;
        QTest::newRow("100") << 100;
        QTest::newRow("a flood of 3000") << 3000;
    }
    void cwDaemon_aBurstOfDatagrams_isAllRead_andTheDoorStillHears() {
        QFETCH(int, burst);
        CwDaemonBench b;
        QVERIFY(b.ok && b.listening);
        CwDaemonEndpoint& door = b.core->endpoints().cwDaemon();
        for (int i = 0; i < burst; ++i) // ignored requests (ESC 0, a reset), as fast as they go
            b.logger.writeDatagram("\x1b" "0", QHostAddress::LocalHost, door.port());
        if (burst <= 100) // a flood overruns the socket's buffer; a burst fits
            QTRY_COMPARE_WITH_TIMEOUT(door.requestsTaken(), qint64(burst), 5000);
        for (int i = 0; i < 3; ++i) { // the door is idle now: what comes next is heard
            QTest::qWait(50);
            const qint64 before = door.requestsTaken();
            b.logger.writeDatagram("\x1b" "0", QHostAddress::LocalHost, door.port());
            QTRY_COMPARE_WITH_TIMEOUT(door.requestsTaken(), before + 1, 2000);
        }
        b.send("\x1b" "a1");
        QCOMPARE(b.station.waitForLines(1), QStringList{"A0:MX1;"});
    }

    // WSJT-X keyed the rig (T 1) and was killed: its connection closes, the key-up goes out and
    // the state line says so; a client that released its PTT leaves nothing behind.
    void rigctlClientLeavingKeyed_releasesTheTransmitter() {
        RigctlBench b;
        QVERIFY(b.ok && b.listening);
        RigctlEndpoint& door = b.door();
        auto client = [&](const QByteArray& lines) {
            auto socket = b.client();
            socket->write(lines);
            for (int i = 0; i < 400 && socket->bytesAvailable() == 0; ++i)
                QTest::qWait(5); // until the answers are back
            return socket;
        };
        auto polite = client("T 1\nT 0\n");
        polite->disconnectFromHost();
        QCOMPARE(b.station.waitForLines(3), (QStringList{"A0:MX1;", "A0:MX0;", "A0:MX0;"}));
        QTRY_COMPARE(door.clientCount(), 0);
        auto killed = client("T 1\n");
        QCOMPARE(b.station.waitForLines(4).size(), 4);
        killed->abort();
        QCOMPARE(b.station.waitForLines(6).mid(3), (QStringList{"A0:MX1;", "A0:MX0;", "A0:MX0;"}));
        QTRY_VERIFY(b.c()
                        .text(Ctl::rigctlState)
                        .contains("a client left with the transmitter keyed: key-up sent"));
    }

    // Bounds of the Hamlib endpoint: 32 clients that never finish a line do not lock a real
    // one out (the quietest makes room, never one whose PTT holds the transmitter); a 30 kB
    // line is refused whole, not keyed; a client that asks and never reads is closed.
    void rigctl_clientsThatNeverFinishOrNeverRead_lockNoOneOut() {
        RigctlBench b;
        QVERIFY(b.ok && b.listening);
        RigctlEndpoint& door = b.door();
        auto keyed = b.client();
        keyed->write("T 1\n");
        QTRY_VERIFY(keyed->bytesAvailable() > 0);
        std::vector<std::unique_ptr<QTcpSocket>> stallers;
        for (int i = 0; i < RigctlEndpoint::kMaxClients + 5; ++i) {
            stallers.push_back(b.client());
            stallers.back()->write("f"); // a line begun, never ended
            QTest::qWait(2);
        }
        QTRY_COMPARE(door.clientCount(), RigctlEndpoint::kMaxClients);
        auto real = b.client();
        real->write("f\n");
        QTRY_VERIFY(real->bytesAvailable() > 0);
        QCOMPARE(real->readAll(), QByteArray("14000000\n"));
        QCOMPARE(keyed->state(), QAbstractSocket::ConnectedState); // the keyed client kept its place

        real->write("b " + QByteArray(30000, 'E') + "\n");
        QTRY_VERIFY(real->bytesAvailable() > 0);
        QCOMPARE(real->readAll(), QByteArray("RPRT -1\n"));
        QTest::qWait(50);
        QVERIFY(b.station.lines().filter("WK:").isEmpty());

        auto greedy = b.client();
        greedy->setReadBufferSize(1); // it reads nothing more
        QByteArray asks;
        for (int i = 0; i < 2000; ++i)
            asks += "\\dump_state\n";
        for (int round = 0; round < 20 && greedy->state() == QAbstractSocket::ConnectedState; ++round) {
            greedy->write(asks);
            QTest::qWait(20);
        }
        QTRY_VERIFY(greedy->state() != QAbstractSocket::ConnectedState);
    }

    // 100 MHz and more cannot be told to the station (its set carries 8 digits): from the
    // Hamlib endpoint and the radio port alike the set is refused, nothing reaches the
    // station, the picture keeps its frequency and the server monitor says why.
    void frequencyTheStationCannotCarry_isRefusedOnBothDoors() {
        RigctlBench b;
        QVERIFY(b.ok && b.listening);
        b.c().setValue(Ctl::monitorDataCheck, 1);
        auto gpredict = b.client();
        gpredict->write("F 145890000\nf\n");
        QCOMPARE(readUntil(*gpredict, "14000000\n"), QByteArray("RPRT -1\n14000000\n"));
        b.takeWritten();
        b.radio()->feed("FA00145890000;");
        QByteArray written;
        QTRY_VERIFY((written += b.takeWritten()).contains("?;"));
        QCOMPARE(written, QByteArray("?;"));
        QCOMPARE(b.picture().frequencyHz(), qint64(14000000));
        QVERIFY(b.station.waitForLines(1).filter("FA").isEmpty());
        const QString monitor = b.c().text(Ctl::fromServerMonitor);
        QVERIFY2(monitor.contains("Hamlib endpoint: FA00145890000; refused: the station takes "
                                  "frequencies below 100 MHz") &&
                     monitor.contains("Radio port: FA00145890000; refused"),
                 qPrintable(monitor));
    }

    // On every network the endpoint says so, in its state line and in the log: the protocols
    // have no password, and anyone who reaches this computer may key the transmitter.
    void rigctl_onEveryNetwork_isSaidInTheStateLineAndTheLog() {
        CoreBench b;
        b.core->startUp();
        b.c().setText(Ctl::rigctlAddressBox, QString("0.0.0.0:%1").arg(freeLoopbackPort()));
        b.c().setValue(Ctl::rigctlCheck, 1);
        b.core->endpoints().apply();
        QVERIFY2(b.c().text(Ctl::rigctlState).contains("on every network: anyone who can reach this "
                                                        "computer may key the transmitter"),
                 qPrintable(b.c().text(Ctl::rigctlState)));
        QVERIFY(b.logText().contains("on every network"));
        b.c().setText(Ctl::rigctlAddressBox, QString("[::1]:%1").arg(freeLoopbackPort()));
        b.core->endpoints().apply();
        QVERIFY2(b.c().text(Ctl::rigctlState).startsWith("Hamlib rigctl listening on TCP [::1]:") ||
                     b.c().text(Ctl::rigctlState).contains("not listening: TCP"), // no IPv6 here
                 qPrintable(b.c().text(Ctl::rigctlState)));
    }

    // The skimmer's call on the logger's cluster connection: at the station's frequency on the
    // air (here the dial 14,070,000 Hz in USB and the tone 1,000 Hz), signed with the operator's
    // call, once in ten minutes; saved in Endpoints.ini.
    void spots_reachTheClusterClient_onTheAirsFrequency_once() {
        CoreBench b;
        b.core->startUp();
        b.c().setText(Ctl::loginCallsignBox, "oh2xx");
        b.picture().setFrequencyHz(14070000);
        b.picture().setModeIndex(1); // USB
        const quint16 port = freeLoopbackPort();
        b.c().setText(Ctl::spotsAddressBox, QString("127.0.0.1:%1").arg(port));
        QSignalSpy wanted(&b.core->endpoints(), &Endpoints::spotsWantedChanged);
        b.c().setValue(Ctl::spotsCheck, 1);
        QCOMPARE(b.c().text(Ctl::spotsState), QString("Spots listening on TCP 127.0.0.1:%1").arg(port));
        QCOMPARE(wanted.size(), 1);

        auto logger = connectedClient(port);
        QVERIFY(readUntil(*logger, "login: ").contains("login: "));
        logger->write("DL1ABC\r\n");
        QVERIFY(readUntil(*logger, "DL1ABC de OH2XX-# >").contains("DL1ABC de OH2XX-# >"));
        b.core->endpoints().spot("G4XYZ", 1000, 13.6, true, "PSK31");
        b.core->endpoints().spot("G4XYZ", 1010, 12, true, "PSK31"); // the same station again
        QByteArray heard = readUntil(*logger, "Z\r\n");
        QTest::qWait(50);
        heard += logger->readAll();
        QVERIFY2(heard.startsWith("DX de OH2XX-#:   14071.0  G4XYZ        PSK31 14 dB CQ"), heard);
        QCOMPARE(heard.count("DX de"), 1);

        QString why;
        QVERIFY2(b.core->endpoints().save(&why), qPrintable(why));
        const EndpointSettings saved = EndpointSettings::read(b.folder.filePath(EndpointSettings::kFileName));
        QVERIFY(saved.spotsOn);
        QCOMPARE(saved.spotsAddress, QString("127.0.0.1:%1").arg(port));
        b.c().setValue(Ctl::spotsCheck, 0);
        QCOMPARE(b.c().text(Ctl::spotsState), QString("Spots off"));
        QCOMPARE(wanted.size(), 2);
    }

    // A port another program holds: the line says so, no box; ticked off, it says off.
    void cwDaemon_portInUse_isSaidInTheStateLine() {
        CwDaemonBench b;
        QUdpSocket other;
        QVERIFY(other.bind(QHostAddress::LocalHost, 0));
        b.c().setText(Ctl::cwDaemonAddressBox, QString("127.0.0.1:%1").arg(other.localPort()));
        b.c().setValue(Ctl::cwDaemonCheck, 1);
        QCOMPARE(b.c().text(Ctl::cwDaemonState),
                 QString("cwdaemon not listening: UDP %1 is in use by another program")
                     .arg(other.localPort()));
        QVERIFY(b.dialogs.messages.isEmpty());
        b.c().setValue(Ctl::cwDaemonCheck, 0);
        QCOMPARE(b.c().text(Ctl::cwDaemonState), QString("cwdaemon off"));
    }
};

QTEST_GUILESS_MAIN(EndpointsTest)
#include "tst_Endpoints.moc"
