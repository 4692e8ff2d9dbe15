// The WinKeyer: its batches walked by command, the keyer port on the program's core, the
// side tone's sound and its queue.
#include "keyer/KeyerPass.h"
#include "support/CoreBench.h"
#include "support/StationEnd.h"
#include "keyer/SideToneRenderer.h"
#include "keyer/ToneWaveform.h"
#include "common/WavIo.h"
#include "sim/ToneMeasure.h"
#include "keyer/SideTone.h"

#include <QTest>
#include <QTemporaryDir>

namespace {

// What fldigi and other WinKeyer clients send on connecting: echo test, host open, load
// defaults (15 bytes), speed pot set-up, speed 18, read the pot; then the operator's text.
const QByteArray kConnectSequence = QByteArray::fromHex(
    "000455" "0002" "0f" "001205320000" "0a1900000032" "3206ff" "050a19ff" "0212" "07") + "cq";

KeyerPassResult runOnce(const QByteArray& batch) {
    KeyerCommandWalker walker;
    return KeyerPass::run(batch, true, walker);
}

// The keyer port on COM9, the radio port unused, and a station end to link to.
struct Keyed : CoreBench {
    Keyed() {
        c().selectItem(Ctl::radioPortChoice, "COM8");
        c().selectItem(Ctl::keyerPortChoice, "COM9");
        core->ports().initPorts();
    }
    FakeBackend* keyer() { return fakePorts.port("COM9"); }
    QByteArray takeWritten() { return CoreBench::takeWritten(keyer()); }
    bool link() { return station.accept(core->serverSocket()); }
    // Lets the reckoned keying of held-back CW go on for so many seconds.
    void keyFor(double seconds) {
        clock.advance(seconds);
        core->cwStation().tick();
    }
    StationEnd station;
};

constexpr int kRate = 48000;
constexpr int kPeriod = 60; // 800 Hz at 48 kHz
const double kFull = 0.9 * 32767;

QVector<float> cwWav() {
    const std::vector<float> samples = WavIo::readBytes(ToneWaveform::makeCwWav(), nullptr, "cw.wav")->samples;
    return QVector<float>(samples.begin(), samples.end());
}

std::vector<short> sound(const QString& text, double wpm, int volume = 0) {
    SideToneRenderer tone(cwWav(), kRate);
    tone.setPitch(800);
    tone.setVolume(volume);
    for (QChar c : text)
        tone.appendCharacter(c, wpm);
    std::vector<short> samples(size_t(tone.queuedSeconds() * kRate) + kRate / 10);
    tone.render(samples.data(), int(samples.size()));
    return samples;
}

} // namespace

class KeyerTest : public QObject {
    Q_OBJECT
  private slots:
    void batches_data() {
        QTest::addColumn<QByteArray>("batch");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QByteArray>("toLogger");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const char* name, const QByteArray& batch, const QString& speed,
                            const QByteArray& toLogger, const QStringList& lines) {
            QTest::newRow(name) << batch << speed << toLogger << lines;
        };
        row("speed 30", QByteArray("\x02\x1e", 2), "30", "", {"WT:30|26;"});
        row("speed 7 has two digits", QByteArray("\x02\x07", 2), "07", "", {"WT:07|26;"});
        row("speed 4 changes nothing", QByteArray("\x02\x04", 2), "", "", {});
        row("speed byte not yet come", QByteArray("\x02", 1), "", "", {});
        row("speed 40 is a number, not a parenthesis", QByteArray("\x02\x28", 2), "40", "", {"WT:40|26;"});
        row("speed between text goes in its place", "A\x02\x14" "B", "20", "\xc4" "AB\xc0",
            {"WK:A;", "WT:20|26;", "WK:B;"});
        row("cq test", "cq test", "", "\xc4" "CQ TEST\xc0", {"WK:C;", "WK:Q;", "WK: ;", "WK:T;", "WK:E;", "WK:S;", "WK:T;"});
        row("clear buffer between text is ignored", "A\nB", "", "\xc4" "AB\xc0", {"WK:A;", "WK:B;"});
        row("host open answers the version, then mode bits", QByteArray("\x00\x02\x0e\x04", 4), "", "\x17", {});
        row("echo test answers its byte", QByteArray("\x00\x04U", 3), "", "U", {});
        row("status, idle and while text goes", "\x15" "E\x15", "", "\xc0\xc4" "E\xc4\xc0", {"WK:E;"});
        row("pot read", "\x07", "", "\x80", {});
        row("add nulls takes a count", "\x16\x03\x41" "B", "", "\xc4" "B\xc0", {"WK:B;"});
        row("buffer pointer reset takes one", QByteArray("\x16\x00" "B", 3), "", "\xc4" "B\xc0", {"WK:B;"});
        row("prosign letters are parameters", "\x1b" "AR", "", "", {});
        row("EEPROM download is never keyed", QByteArray("\x00\x0d", 2) + QByteArray(256, 'X') + "K", "",
            "\xc4K\xc0", {"WK:K;"});
        row("high bytes only", "\x80\xc4\xff", "", "", {});
        row("a whole client connect, then text", kConnectSequence, "18", "U\x17\x80\xc4" "CQ\xc0",
            {"WT:18|26;", "WK:C;", "WK:Q;"});
    }
    void batches() {
        QFETCH(QByteArray, batch);
        QFETCH(QString, speed);
        QFETCH(QByteArray, toLogger);
        QFETCH(QStringList, lines);
        const KeyerPassResult result = runOnce(batch);
        QCOMPARE(result.speed > 0 ? KeyerPass::speedText(result.speed) : QString(), speed);
        QCOMPARE(result.toLogger, toLogger);
        QCOMPARE(result.serverLines, lines);
        QString text;
        for (const QString& line : lines)
            if (line.startsWith("WK:"))
                text += line[3];
        QCOMPARE(result.sideTone, text);
        KeyerCommandWalker unticked; // no side tone unless it is ticked
        QCOMPARE(KeyerPass::run(batch, false, unticked).sideTone, QString());
    }

    // However the port cuts the connect sequence into batches, the station gets the speed and
    // the text alone.
    void commandCutBetweenBatches_isFinishedByTheNext() {
        for (int cut = 0; cut <= kConnectSequence.size(); ++cut) {
            KeyerCommandWalker walker;
            const KeyerPassResult first = KeyerPass::run(kConnectSequence.left(cut), true, walker);
            const KeyerPassResult second = KeyerPass::run(kConnectSequence.mid(cut), true, walker);
            QCOMPARE(first.serverLines + second.serverLines,
                     (QStringList{"WT:18|26;", "WK:C;", "WK:Q;"}));
        }
    }

    // With the link down the logger still gets its echo and the side tone still sounds; a
    // speed command sets the box and tells the station.
    void text_isForwardedEchoedAndQueued() {
        Keyed k;
        k.c().setValue(Ctl::sideToneCheck, 1);
        k.keyer()->feed("tu");
        QCOMPARE(k.takeWritten(), QByteArray("\xc4" "TU\xc0"));
        QCOMPARE(k.core->sideTone().sideToneText(), QString("TU"));
        QVERIFY(k.link());
        k.keyer()->feed("cq");
        QCOMPARE(k.takeWritten(), QByteArray("\xc4" "CQ\xc0"));
        QCOMPARE(k.station.waitForLines(2), (QStringList{"WK:C;", "WK:Q;"}));
        QCOMPARE(k.core->sideTone().sideToneText(), QString("TUCQ"));
        k.keyer()->feed(QByteArray("\x02\x1e", 2)); // speed 30: the box and the station
        QCOMPARE(k.c().text(Ctl::cwSpeedBox), QString("30"));
        QCOMPARE(k.station.waitForLines(3).last(), QString("WT:30|26;"));
        QVERIFY(k.takeWritten().isEmpty());
    }

    // CW held back 1 s ahead at 20 wpm: only the first characters reach the station at once,
    // the rest as the reckoned keying goes on; the echo follows each character as it goes, and
    // the idle status once all is out; the logger's clear buffer (its Esc) drops the rest.
    void heldBack_handsOnWithinTheLead_echoesAsItGoes_andClearBufferStopsIt() {
        Keyed k;
        QVERIFY(k.link());
        k.c().setText(Ctl::cwSpeedBox, "20"); // a unit of 57.5 ms; "E " takes 12 units
        k.core->cwStation().setHoldBack(true, 1.0);
        k.keyer()->feed("e e e e e e e e");
        // "E" and " " take 4 units each: 0.23 s; what is handed on stays within the lead
        QCOMPARE(k.takeWritten(), QByteArray("\xc4" "E E E")); // busy, and what went on
        QCOMPARE(k.station.waitForLines(5).size(), 5);
        k.keyFor(0.8);
        QCOMPARE(k.station.waitForLines(8).size(), 8);
        QCOMPARE(k.takeWritten(), QByteArray(" E "));
        k.keyer()->feed(QByteArray("\x0a", 1)); // clear buffer
        k.keyFor(30.0);
        QTest::qWait(20);
        QCOMPARE(k.station.lines().size(), 8); // nothing more reached the station
        QCOMPARE(k.takeWritten(), QByteArray("\xc0", 1)); // and the logger hears it is idle
        QCOMPARE(k.core->cwStation().heldCount(), 0);
    }

    // Held CW is dropped when no one can stop it any more: when the logger closes the keyer
    // port mid-message (its own text only: another door's goes on), and when the link to the
    // station goes (an old CQ must not go on the air after the next connect).
    void heldBack_droppedWhenTheLoggerClosesThePortOrTheLinkGoes() {
        Keyed k;
        QVERIFY(k.link());
        k.c().setText(Ctl::cwSpeedBox, "20");
        k.core->cwStation().setHoldBack(true, 1.0);
        k.keyer()->setLines({false, false, true, false}); // the logger opens its end
        k.keyer()->feed(QByteArray(100, 'e'));
        const int handed = int(k.station.waitForLines(5).size());
        QVERIFY(handed < 10);
        k.core->cwStation().sendText("TEST"); // the cwdaemon door, behind it
        k.keyer()->setLines({});             // the logger closes its end
        for (int second = 0; second < 60; ++second)
            k.keyFor(1.0);
        const QStringList lines = k.station.waitForLines(handed + 4);
        QCOMPARE(lines.size(), handed + 4);
        QCOMPARE(lines.mid(handed), (QStringList{"WK:T;", "WK:E;", "WK:S;", "WK:T;"}));

        k.keyer()->setLines({false, false, true, false});
        k.keyer()->feed(QByteArray(100, 'e'));
        QVERIFY(k.core->cwStation().heldCount() > 50);
        k.core->serverSocket().abort(); // the link goes
        QCOMPARE(k.core->cwStation().heldCount(), 0);
    }

    // CW waiting to be keyed is bounded (three minutes' worth), from every door, held back or
    // not: a runaway 10,000-character message does not hold the station for an hour and a
    // half; the rest is refused, and the monitor and the log say so.
    void cwWaiting_isBoundedToMinutes_theRestRefusedAndTold_data() {
        QTest::addColumn<bool>("holdBack");
        QTest::newRow("handed on at once") << false;
        QTest::newRow("held back") << true;
    }
    void cwWaiting_isBoundedToMinutes_theRestRefusedAndTold() {
        QFETCH(bool, holdBack);
        Keyed k;
        QVERIFY(k.link());
        k.c().setText(Ctl::cwSpeedBox, "20"); // "E " takes 0.46 s
        k.c().setValue(Ctl::monitorDataCheck, 1);
        k.core->log().open();
        CwStation& cw = k.core->cwStation();
        cw.setHoldBack(holdBack, 2.0);
        QString taken;
        for (int datagram = 0; datagram < 10; ++datagram)
            taken += cw.sendText(QString(1000, u'E')); // as ten cwdaemon datagrams
        const double waiting = cw.allSentAt() - k.clock.monotonicSeconds();
        QVERIFY2(waiting <= CwStation::kMostWaitingSeconds && waiting > CwStation::kMostWaitingSeconds - 1,
                 qPrintable(QString::number(waiting)));
        QVERIFY(taken.size() > 500 && taken.size() < 1000);
        QVERIFY2(k.c().text(Ctl::fromServerMonitor).contains("characters refused, not keyed: more than 3 "
                                                              "minutes of CW were waiting to go out"),
                 qPrintable(k.c().text(Ctl::fromServerMonitor)));
        QCOMPARE(k.logText().count("characters refused, not keyed"), 1); // told once, not per request
        k.clock.advance(10.0);
        cw.tick(); // what was refused since is told as one line
        QCOMPARE(k.logText().count("characters refused, not keyed"), 2);
        if (holdBack)
            QVERIFY(cw.heldCount() < 1000);
        else
            QCOMPARE(k.station.waitForLines(int(taken.size())).size(), taken.size());
    }

    void portEvents_haveTheirAnswersAndMessages() {
        Keyed k;
        k.keyer()->setLines({false, false, true, false}); // DSR: the logger opened its end
        QCOMPARE(k.takeWritten(), QByteArray("\x17\x80", 2));
        k.keyer()->dtr = false;
        k.keyer()->setLines({false, true, true, false}); // CTS: DTR asserted again
        QVERIFY(k.keyer()->dtr);
        k.keyer()->raise(CommEvent::Framing);
        k.keyer()->raise(CommEvent::Break);
        QVERIFY(k.dialogs.messages.isEmpty()); // not from inside the port's handler
        QCoreApplication::processEvents();
        QCOMPARE(k.dialogs.messages, (QStringList{"FRAMING ERROR", "COMBREAK"}));
    }

    // The port passes the admin prefix on; a command cut between two reads is finished by
    // the next, and one left unfinished when the logger reopens its end is forgotten.
    void commands_acrossReads_andAfterTheLoggerReopens() {
        Keyed k;
        QVERIFY(k.link());
        k.keyer()->feed(QByteArray("\x00\x04", 2));
        k.keyer()->feed(QByteArray("U\x0f\x00\x12", 4)); // load defaults, cut after two
        QCOMPARE(k.takeWritten(), QByteArray("U"));
        k.keyer()->setLines({false, false, true, false}); // the logger opens its end anew
        k.keyer()->feed("hi");
        QCOMPARE(k.takeWritten(), QByteArray("\x17\x80\xc4" "HI\xc0"));
        QCOMPARE(k.station.waitForLines(2), (QStringList{"WK:H;", "WK:I;"}));
    }

    void burstBeyondTheBuffer_isDroppedWhole_notKeyed_andTheOperatorIsTold() {
        Keyed k;
        QVERIFY(k.link());
        k.keyer()->feed(QByteArray(5000, 'E'));
        k.keyer()->feed(QByteArray(300, 'T')); // the rest of the same burst
        QVERIFY(k.core->winKeyer().isDroppingBurst());
        QVERIFY(k.takeWritten().isEmpty());
        k.core->winKeyer().endBurst(); // the logger has been quiet for a while
        QCoreApplication::processEvents();
        QCOMPARE(k.dialogs.messages,
                 QStringList{"RCV BUFFER OVERFLOW: 5300 characters from the logger were dropped, not sent as CW"});
        k.keyer()->feed("tu");
        QCOMPARE(k.takeWritten(), QByteArray("\xc4" "TU\xc0"));
        QCOMPARE(k.station.waitForLines(2), (QStringList{"WK:T;", "WK:U;"})); // and nothing before
    }

    void paris_elementsAndGapsAreExact_data() {
        QTest::addColumn<double>("wpm");
        QTest::newRow("20 wpm") << 20.0;
        QTest::newRow("40 wpm") << 40.0;
    }
    void paris_elementsAndGapsAreExact() {
        QFETCH(double, wpm);
        const std::vector<double> measured =
            ToneMeasure::crossings(ToneMeasure::envelope(sound("PARIS ", wpm), kPeriod), kFull / 2);
        const std::vector<double> ideal = ToneMeasure::idealEdges("PARIS ", wpm, kRate);
        QCOMPARE(measured.size(), ideal.size());
        const double maxErrorSamples = 0.1e-3 * kRate; // 0.1 ms
        for (size_t i = 1; i < ideal.size(); ++i) {
            const double error = (measured[i] - measured[0]) - (ideal[i] - ideal[0]);
            QVERIFY2(std::fabs(error) < maxErrorSamples,
                     qPrintable(QString("edge %1 off by %2 ms").arg(i).arg(error / kRate * 1000)));
        }
    }

    void edges_areShaped_noClicks() {
        const std::vector<short> s = sound("E", 60);
        int largestStep = 0;
        for (size_t n = 1; n < s.size(); ++n)
            largestStep = std::max(largestStep, std::abs(s[n] - s[n - 1]));
        // a full-level 800 Hz sine moves at most 2*pi*800/48000 of its peak per sample
        QVERIFY(largestStep <= int(kFull * 2 * M_PI * 800 / kRate) + 2);
    }

    void ticking_startsTheTone_whichFollowsSpeedAndQueueRules() {
        CoreBench b;
        b.c().setValue(Ctl::sideToneCheck, 1);
        QCOMPARE(b.tone.starts, 1);
        QVERIFY(b.dialogs.messages.isEmpty());
        SideTone& tone = b.core->sideTone();
        tone.queue(QString(300, u'E'));
        tone.step();
        QCOMPARE(tone.sideToneText().size(), 256); // the first is sounding, 43 are dropped
        QVERIFY(tone.isSounding());
        tone.step(); // the E before is still sounding: nothing more is taken
        QCOMPARE(tone.sideToneText().size(), 256);
        b.tone.pull(int(0.2 * ToneOutput::kSampleRate));
        tone.step(); // close to its end now
        QCOMPARE(tone.sideToneText().size(), 255);
    }

    // What goes wrong when the tone starts: the classic message, then the reason; the box
    // stays ticked only when the tone can still play.
    void startFailures_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("no sound card") << "card" << QStringList{"Error accessing sound card",
                                                                "no sound card in this test"} << false;
        QTest::newRow("pitch out of range")
            << "pitch" << QStringList{"Error accessing sound card: a pitch of \"5000\" Hz cannot be played "
                                      "(2 to 2836 Hz); the tone keeps its own pitch"} << true;
        QTest::newRow("no waveform") << "wave" << QStringList{"Error accessing sound card", "cw.wav"} << false;
    }
    void startFailures() {
        QFETCH(QString, fault);
        QFETCH(QStringList, messages);
        QFETCH(bool, ticked);
        CoreBench b;
        b.tone.refuse = fault == "card";
        if (fault == "pitch")
            b.c().setText(Ctl::sideTonePitchBox, "5000");
        if (fault == "wave")
            QFile::remove("cw.wav");
        b.c().setValue(Ctl::sideToneCheck, 1);
        QCOMPARE(b.dialogs.messages.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(b.dialogs.messages[i].contains(messages[i]), qPrintable(b.dialogs.messages[i]));
        QCOMPARE(b.c().isTicked(Ctl::sideToneCheck), ticked);
    }

    void apply_restartsAtTheNewPitch() {
        CoreBench b;
        b.c().setValue(Ctl::sideToneCheck, 1);
        b.c().setText(Ctl::sideTonePitchBox, "600");
        b.core->sideTone().startToneBuffer(true);
        QCOMPARE(b.tone.starts, 2);
        b.core->sideTone().queue("T");
        b.core->sideTone().step();
        const auto s = b.tone.pull(ToneOutput::kSampleRate / 5);
        int upward = 0;
        for (size_t n = 1000; n < 1000 + ToneOutput::kSampleRate / 10; ++n)
            upward += s[n - 1] < 0 && s[n] >= 0;
        QCOMPARE(upward, 60); // 600 Hz over 100 ms
    }

    void longCharacterSounding_loggerPollStillAnswered() {
        CoreBench b;
        b.startRadio();
        b.c().setValue(Ctl::sideToneCheck, 1);
        b.c().setText(Ctl::cwSpeedBox, "5"); // "0" lasts over four seconds at 5 wpm
        b.core->sideTone().queue("0");
        b.core->sideTone().step();
        QVERIFY(b.core->sideTone().isSounding());
        b.radio()->feed("FA;");
        QCOMPARE(b.takeWritten(), QByteArray("FA00014000000;"));
        QVERIFY(b.core->sideTone().isSounding());
    }

    // The working folder's waveform first, then the one beside the program, then the one the
    // package installs in ../share/zarnikcontrol.
    void waveform_isFoundWhereThePackagePutsIt() {
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.filePath("usr/bin")) && QDir().mkpath(root.filePath("usr/share/zarnikcontrol")));
        const QString bin = root.filePath("usr/bin");
        QCOMPARE(ToneWaveform::locate(bin), bin + "/cw.wav"); // none: named in the message
        QVERIFY(writeFile(root.filePath("usr/share/zarnikcontrol/cw.wav"), "RIFF"));
        QCOMPARE(ToneWaveform::locate(bin), root.filePath("usr/share/zarnikcontrol/cw.wav"));
        QVERIFY(writeFile(bin + "/cw.wav", "RIFF"));
        QCOMPARE(ToneWaveform::locate(bin), bin + "/cw.wav");
    }
};

QTEST_GUILESS_MAIN(KeyerTest)
#include "tst_Keyer.moc"
