// The digital terminal and the file window without their windows: the settings file,
// receiving, sending, the carrier search, and files going out through the terminal's modem
// with the remote transmitter keyed around them; the modem runs on a sound card the test pulls.
#include "digital/dsp/PskModulator.h"
#include "digital/modem/DspFactory.h"
#include "digital/modem/Modem.h"
#include "digital/terminal/MmvariPos.h"
#include "sim/Awgn.h"
#include "support/TerminalRig.h"
#include "digital/terminal/DirectoryBrowser.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QDir>

using namespace TermCtl;

namespace {

// A whole MMVARI.POS, a line per "|": geometry, mode, carriers, switches, Talk (line 14),
// speed, the sound menus (S1 ticked for receive, no transmit device), the PTT lines, macros.
const QStringList kFullFile = QStringLiteral(
    "1200|-99|6000|11000|BXX|1000|False|True|False|True|False|False|False|YES|YES|37|812|440|0|"
    "62.5|False|False|True|False|False|False|False|False|False|False|1|MMVARIPORT=|"
    "MMVARIOUTPUT=TRUE|MMVARIINV=FALSE|MMVARIEXC=TRUE|F1 CQ CQ DE OH2XX, OH2XX K|  F2 SPACES, AHEAD|"
    "||||||||").split(u'|');

// The lines as the terminal's settings file holds them.
QByteArray posFile(const QStringList& lines) { return lines.join("\r\n").toLatin1() + "\r\n"; }

std::vector<float> pskIdle(double carrier, double seconds) {
    PskModulator psk(48000, carrier, 31.25);
    std::vector<float> out;
    psk.start(out);
    psk.idle(int(seconds * 31.25), out);
    for (float& s : out)
        s *= 0.3f;
    return Awgn::add(out, 10, 48000); // a signal 10 dB above the noise in 2.5 kHz
}

// Characters as the modem hands them to a receive box.
void hear(ReceiveText& box, const QString& text, int channel = 0) {
    for (QChar c : text)
        box.charReceived(channel, c);
}

} // namespace

class TerminalTest : public QObject {
    Q_OBJECT
  private slots:
    void settingsFile_roundTrip_keepsEveryLineButTalkAndTheDefaults_evenOnAFullDisk() {
        TerminalRig rig;
        QVERIFY(writeFile(rig.path(MmvariPos::kFileName), posFile(kFullFile)));
        Terminal& t = rig.open();
        QCOMPARE(rig.store().text(at(modeChoice, 0)), QStringLiteral("bpsk"));
        QCOMPARE(t.modem().receiveCarrier(0), 1000);
        QVERIFY(!rig.store().isTicked(at(afcButton, 0)));
        QVERIFY(rig.store().isTicked(netButton));
        QCOMPARE(t.display(), DisplayKind::Waterfall);
        QVERIFY(rig.store().isTicked(talkButton));
        QCOMPARE(t.modem().speed(0), 62.5);
        QVERIFY(t.largeFont());
        QCOMPARE(rig.store().text(at(functionKey, 0)), QStringLiteral("F1 "));
        // S1 and the TX default (step 12) reach the modem and the sound card.
        QVERIFY(rig.store().isTicked(receiveSoundMenu + "1") &&
                rig.store().isTicked(defaultTransmitSoundMenu));
        QCOMPARE(rig.sound.inputDevice, 1);
        QCOMPARE(rig.sound.outputDevice, -1);
        QVERIFY(rig.dialogs.messages.isEmpty());

        t.unload({1200, -99, 6000, 11000});
        QStringList expected = kFullFile;
        expected[13] = "NO";   // Talk is never stored on
        expected[25] = "True"; // the TX default ticked at load
        QCOMPARE(*MmvariPos::read(rig.path(MmvariPos::kFileName)), expected);
        QVERIFY(!t.largeFont());
        {
            FullDisk full; // the file stays as it was, not emptied
            QVERIFY(!MmvariPos::write(rig.path(MmvariPos::kFileName), {"1200"}));
        }
        QCOMPARE(*MmvariPos::read(rig.path(MmvariPos::kFileName)), expected);
    }

    void settingsFile_geometryLimits_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<int>>("applied"); // top, left, height, width
        const TwipsRect d;
        QTest::newRow("at the limits")
            << QStringList{"-99", "-99", "2900", "3000"} << QList<int>{-99, -99, 2900, 3000};
        QTest::newRow("beyond them") << QStringList{"-100", "-100", "2899", "2999"}
                                     << QList<int>{d.top, d.left, d.height, d.width};
        QTest::newRow("blanks around numbers")
            << QStringList{" 15 ", "20", " 5000", "9000 "} << QList<int>{15, 20, 5000, 9000};
        QTest::newRow("a file ending after line 20") << kFullFile.mid(0, 20)
                                                     << QList<int>{1200, -99, 6000, 11000};
    }
    void settingsFile_geometryLimits() {
        QFETCH(QStringList, lines);
        QFETCH(QList<int>, applied);
        TerminalRig rig;
        QVERIFY(writeFile(rig.path(MmvariPos::kFileName), posFile(lines)));
        const TwipsRect g = rig.open().geometry();
        QCOMPARE((QList<int>{g.top, g.left, g.height, g.width}), applied);
        // The file ended early: the sound lines were not there, so both defaults are ticked.
        QVERIFY(rig.store().isTicked(defaultReceiveSoundMenu) &&
                rig.store().isTicked(defaultTransmitSoundMenu));
    }

    void soundMenus_listTenDevices_andAFifthIsNotRestored() {
        TerminalRig rig;
        Terminal& t = rig.open();
        QCOMPARE(rig.store().text(defaultTransmitSoundMenu),
                 QStringLiteral("System default (Built-in Audio)"));
        QCOMPARE(rig.store().text(transmitSoundMenu + "2"), QStringLiteral("Card C"));
        QVERIFY(!rig.store().isVisible(transmitSoundMenu + "3")); // no such device
        t.soundMenuClicked(transmitSoundMenu + "5");
        QCOMPARE(rig.sound.outputDevice, 5);
        t.unload({});
        TerminalRig again;
        QFile::copy(rig.path(MmvariPos::kFileName), again.path(MmvariPos::kFileName));
        again.open();
        QVERIFY(again.store().isTicked(defaultTransmitSoundMenu));
        QCOMPARE(again.sound.outputDevice, -1);
    }

    void receive_showsTextAsTheBoxDoes() {
        TerminalRig rig;
        Terminal& t = rig.open();
        ReceiveText& rx = t.receive();
        hear(rx, QStringLiteral("AB\r\nCD\r\x08X\x08"));
        QCOMPARE(rx.text(0), QStringLiteral("AB\nCD")); // CR LF one break, backspace takes it whole
        t.controls().setValue(talkButton, 1);
        t.dualClicked();
        hear(rx, QStringLiteral("a:b\r"));
        hear(rx, QStringLiteral("a:b\r"), 1);
        QCOMPARE(rx.text(0), QStringLiteral("AB\nCDa. b."));
        QCOMPARE(rx.text(1), QStringLiteral("a:b\n")); // Talk never touches the second channel
        t.dualClicked();
        rx.charReceived(1, u'Z');
        QCOMPARE(rx.text(1), QStringLiteral("a:b\n")); // hidden: dropped, not kept
    }

    void receive_whileTheMouseIsHeld_waitsAndComesOutInOrder() {
        TerminalRig rig;
        ReceiveText& rx = rig.open().receive();
        rx.setMouseDown(true);
        hear(rx, QStringLiteral("CQ DE\rK"));
        QVERIFY(rx.text(0).isEmpty());
        rx.setMouseDown(false);
        QCOMPARE(rx.text(0), QStringLiteral("CQ DE\nK"));
    }

    void receive_aFullBoxDropsItsOldestLinesWhole() {
        TerminalRig rig;
        rig.open();
        ReceiveText box(rig.terminal->context(), rig.terminal->callsigns(), nullptr, 100);
        QSignalSpy trimmed(&box, &ReceiveText::trimmedFront);
        for (int line = 0; line < 12; ++line)
            hear(box, QStringLiteral("LINE %1 ABC\r").arg(line, 2, 10, QChar(u'0')));
        QVERIFY(box.text(0).size() <= 100);
        QVERIFY(box.text(0).startsWith(QStringLiteral("LINE "))); // whole lines went
        QVERIFY(box.text(0).endsWith(QStringLiteral("LINE 11 ABC\n")));
        QVERIFY(trimmed.count() >= 1);
    }

    // MASTER.SCP comes from outside: one too large is refused with a line in the status bar;
    // one of junk gives no calls; reading never holds the window up.
    void callsignList_tooLargeOrJunk_isBounded() {
        TerminalRig big;
        QFile file(big.path(CallsignList::kFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(CallsignList::kMaxFileBytes + 1));
        file.close();
        Terminal& t = big.open();
        QSignalSpy read(&t, &Terminal::callsignsRead);
        QVERIFY(read.wait(10000));
        QVERIFY(t.callsigns().isEmpty());
        QVERIFY2(big.store()
                     .text(callsignListStatus)
                     .startsWith("MASTER.SCP not read: 16 MB is not a callsign list"),
                 qPrintable(big.store().text(callsignListStatus)));

        TerminalRig junk;
        QByteArray bytes = "# calls\nOH2XX\n" + QByteArray(200000, '\n') + "K1ABC/P\n";
        for (int i = 0; i < 100000; ++i)
            bytes += char(i * 7919 % 256); // binary
        QVERIFY(writeFile(junk.path(CallsignList::kFileName), bytes + "\nW1AW\n"));
        Terminal& j = junk.open();
        QTRY_VERIFY(j.callsigns().contains("W1AW"));
        QVERIFY(j.callsigns().contains("OH2XX") && j.callsigns().contains("K1ABC/P"));
        QVERIFY(j.callsigns().size() < 100);
        QVERIFY(junk.store().text(callsignListStatus).isEmpty());
    }

    void pickUp_withMasterScp_listsKnownCallsOnce_andAClickTakesOneOff() {
        TerminalRig rig;
        QVERIFY(writeFile(rig.path(CallsignList::kFileName), "# Master callsign list\nOH2XX\nk1abc\n"));
        Terminal& t = rig.open();
        QTRY_COMPARE(t.callsigns().size(), 2);
        const QString text = QStringLiteral("CQ CQ DE OH2XX OH2XX OH2XX K1ABC K1ABC PSE K ");
        hear(t.receive(), text);
        QCOMPARE(rig.store().items(callsignList), (QStringList{"OH2XX", "K1ABC"}));
        QCOMPARE(t.receive().listHeightTwips(), 510);
        t.receive().clickedAt(0, int(text.indexOf("K1ABC")) + 2);
        QCOMPARE(rig.store().items(callsignList), QStringList{"OH2XX"});
        t.receive().clickedAt(0, 1); // the first word: nothing before it, nothing happens
        QCOMPARE(rig.store().items(callsignList), QStringList{"OH2XX"});
    }

    void typing_backspace_takesBackOnlyWhatWasHandedOver() {
        TerminalRig rig;
        Terminal& t = rig.open();
        TransmitText& tx = t.transmit();
        tx.keyPress(u'A', 0);
        tx.setBoxText(QStringLiteral("ABCDE"));
        for (int i = 0; i < 3; ++i)
            t.modem().sendText(tx.nextCharacter()); // as the modem takes them
        QCOMPARE(tx.sentPosition(), 3);
        QCOMPARE(t.modem().pendingCharacters(), 3);
        tx.keyPress(QChar(8), 5); // behind the handed-over text: only the box changes
        QCOMPARE(t.modem().pendingCharacters(), 3);
        tx.keyPress(QChar(8), 3); // over it: the modem takes it back
        QCOMPARE(tx.sentPosition(), 2);
        QCOMPARE(t.modem().pendingCharacters(), 2);
        QVERIFY(tx.keyPress(u'X', 1).caretToEnd); // handed-over text is not edited
    }

    // What goes on the air is what the modulator makes of the same text: one preamble, one
    // rule for characters a mode has no code for, one tail.
    void onTheAir_samplesAreTheModulators_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<double>("baud");
        for (const char* mode : {"bpsk", "qpsk", "rtty-u", "rtty-l-w"})
            QTest::newRow(mode) << QString(mode) << 0.0;
        QTest::newRow("bpsk 62.5") << QStringLiteral("bpsk") << 62.5;
        QTest::newRow("rtty 75 baud") << QStringLiteral("rtty-u") << 75.0;
    }
    void onTheAir_samplesAreTheModulators() {
        QFETCH(QString, mode);
        QFETCH(double, baud);
        const QString text = QString::fromUtf8("CQ de OH2XX 599 73? caf\u00e9 \u0416 {x}\r\n");
        TerminalRig rig;
        Modem& modem = rig.open().modem();
        modem.setMode(0, mode);
        if (baud > 0)
            modem.setSpeed(0, baud);
        modem.setTransmitCarrier(1234.5);
        modem.sendText(text);
        modem.setTransmit(true);
        modem.setReturnToRx(true); // the queue goes out, then the tail
        std::vector<float> air;
        for (int block = 0; modem.isTransmitting() && block < 4000; ++block) {
            float samples[480];
            modem.renderTx(samples, 480);
            air.insert(air.end(), samples, samples + 480);
        }
        QVERIFY(!modem.isTransmitting());
        while (!air.empty() && air.back() == 0.0f) // the silence after the tail
            air.pop_back();
        const auto modulator = DspFactory::modulator(
            ModeList::modes()[ModeList::indexOf(mode)],
            {.sampleRate = modem.sampleRate(), .carrierHz = 1234.5, .baud = modem.speed(0)});
        std::vector<float> made = modulator->transmit(text);
        while (!made.empty() && made.back() == 0.0f)
            made.pop_back();
        QCOMPARE(air.size(), made.size());
        QVERIFY(air == made);
    }

    void macro_sendsItsTextWithoutTheTitle() {
        TerminalRig rig;
        Terminal& t = rig.open();
        t.transmit().setFunctionKey(0, QStringLiteral("F1 CQ TEST"));
        t.transmit().setFunctionKey(1, QStringLiteral("F2"));
        t.transmit().sendFunctionKey(0);
        QVERIFY(rig.finish());
        QCOMPARE(rig.sent, (QStringList{"A0:MX1;", "A0:MX0;"}));
        QCOMPARE(heardFrom(rig.sound.played).trimmed(), QStringLiteral("CQ TEST"));
        rig.sound.played.clear();
        t.transmit().sendFunctionKey(1);
        QVERIFY(rig.finish());
        QCOMPARE(heardFrom(rig.sound.played), QStringLiteral("\r"));
        QVERIFY(!t.context().txOffPressed);
    }

    // TXOFF or closing while a macro or a file goes out: keyed up at once, the rest dropped
    // (TXOFF sends its key-up again); closing lets the window go at once, nothing runs on.
    // A TXOFF while nothing goes out ends the next macro at once.
    void txOffOrClosing_endsAMacroOrAFile_keyedUp_data() {
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("closing");
        QTest::newRow("macro, TXOFF") << false << false;
        QTest::newRow("file, TXOFF") << true << false;
        QTest::newRow("macro, closing") << false << true;
        QTest::newRow("file, closing") << true << true;
    }
    void txOffOrClosing_endsAMacroOrAFile_keyedUp() {
        QFETCH(bool, file);
        QFETCH(bool, closing);
        TerminalRig rig;
        Terminal& t = rig.open();
        t.transmit().setFunctionKey(0, QStringLiteral("F1 ") + QString(60, u'E'));
        QVERIFY(writeFile(rig.path("long.txt"), "FIRST\nSECOND\nTHIRD\n"));
        QSignalSpy finished(&t, &Terminal::finished);
        if (!closing)
            QTimer::singleShot(0, &t, [&t] { t.transmit().txOffClicked(); });
        if (file)
            t.fileSender().sendTextFile(rig.folder.path(), "long.txt", FileSender::Trigger::GoF2);
        else
            t.transmit().sendFunctionKey(0);
        if (closing) {
            t.unload({});
            QCOMPARE(finished.count(), 1);
        }
        QVERIFY(rig.finish());
        QStringList keyed{"A0:MX1;", "A0:MX0;"};
        QCOMPARE(rig.sent, closing ? keyed : keyed << "A0:MX0;");
        const QString heard = heardFrom(rig.sound.played);
        QVERIFY(heard.count(u'E') < 20 && !heard.contains(QStringLiteral("SECOND")));
        QVERIFY(!t.modem().isTransmitting() && !t.context().txOffPressed);
        QVERIFY(!t.transmit().isBusy() && !t.fileSender().isSending());
        if (closing || file)
            return;
        rig.sound.played.clear();
        t.transmit().txOffClicked(); // nothing going out: it waits for the next macro
        t.transmit().sendFunctionKey(0);
        QVERIFY(rig.finish());
        QVERIFY(heardFrom(rig.sound.played).count(u'E') < 20);
        QVERIFY(!t.context().txOffPressed);
    }

    // The sound card (or the sound server) goes away while typed text or a macro goes out:
    // the transmission ends as with TXOFF, the station is keyed up and the status line says so;
    // the chosen devices are tried again until they open.
    void soundGone_whileSending_endsItAndKeysUp_thenTheCardIsTriedAgain() {
        TerminalRig rig;
        Terminal& t = rig.open();
        t.transmit().keyPress(u'A', 0); // typed text keys the station
        QVERIFY(t.modem().isTransmitting());
        rig.sound.fail(QStringLiteral("Connection terminated"));
        QVERIFY(!t.modem().isTransmitting());
        QCOMPARE(rig.sent, (QStringList{"A0:MX1;", "A0:MX0;"}));
        QVERIFY2(rig.store()
                     .text(soundStatus)
                     .startsWith("Sound card gone while sending (Connection terminated): "
                                 "transmission ended, transmitter keyed up"),
                 qPrintable(rig.store().text(soundStatus)));

        rig.sent.clear();
        rig.sound.failStart = false;
        t.retrySound();
        QVERIFY(rig.sound.running());
        t.transmit().setFunctionKey(0, QStringLiteral("F1 ") + QString(60, u'E'));
        QTimer::singleShot(0, &t, [&rig] { rig.sound.fail(QStringLiteral("Connection terminated")); });
        t.transmit().sendFunctionKey(0); // would wait for ever for a modem that no longer plays
        QVERIFY(rig.finish());
        QCOMPARE(rig.sent.first(), QString("A0:MX1;"));
        QCOMPARE(rig.sent.last(), QString("A0:MX0;"));
        QVERIFY(!t.modem().isTransmitting());
        QVERIFY(t.soundRetrying());

        rig.sound.failStart = true; // the sound server is not back yet
        t.retrySound();
        QVERIFY(rig.store()
                    .text(soundStatus)
                    .startsWith("Sound card not open: no such device. Trying again every 3 s"));
        QVERIFY(t.soundRetrying());
        rig.sound.failStart = false; // now it is
        t.retrySound();
        QVERIFY(rig.sound.running());
        QVERIFY(!t.soundRetrying());
        QVERIFY(rig.store().text(soundStatus).startsWith("Hearing "));
        rig.sound.fail(QStringLiteral("Connection terminated")); // while only receiving
        QVERIFY(rig.store()
                    .text(soundStatus)
                    .startsWith("Sound card gone (Connection terminated): nothing is heard"));
        QVERIFY(t.soundRetrying());
    }

    // With the sound card gone the operator goes on typing: no key keys the station (it would
    // stand keyed with no audio), nor the TX button, a macro or a file; the status line says
    // why. The typed text stays and goes once the card is back.
    void soundGone_typingDoesNotKeyTheStation_untilTheCardIsBack() {
        TerminalRig rig;
        Terminal& t = rig.open();
        t.transmit().keyPress(u'A', 0);
        rig.sound.fail(QStringLiteral("Connection terminated"));
        rig.sent.clear();
        t.transmit().setBoxText("AB");
        t.transmit().keyPress(u'B', 1);
        t.transmit().keyPress(u'C', 2);
        rig.store().setValue(TermCtl::transmitButton, 1); // the TX button pressed
        t.transmit().txButtonClicked();
        QCOMPARE(rig.store().value(TermCtl::transmitButton), 0);
        t.transmit().setFunctionKey(0, QStringLiteral("F1 CQ"));
        t.transmit().sendFunctionKey(0);
        QVERIFY(rig.finish());
        writeFile(rig.path("cq.txt"), "CQ CQ\n");
        t.fileSender().sendTextFile(rig.folder.path(), "cq.txt", FileSender::Trigger::DoubleClick);
        QVERIFY(rig.finish());
        QCOMPARE(rig.sent, QStringList());
        QVERIFY(!t.modem().isTransmitting());
        QCOMPARE(rig.store().text(TermCtl::soundStatus),
                 QString("Sound card gone (Connection terminated): nothing is sent and the "
                         "transmitter is not keyed until it is back"));

        rig.sound.failStart = false;
        t.retrySound();
        t.transmit().setBoxText("ABC");
        t.transmit().keyPress(u'D', 3);
        QCOMPARE(rig.sent, QStringList{"A0:MX1;"});
        QVERIFY(t.modem().isTransmitting());
    }

    void carrierSearch_stopsAtTheBandEdge_orOnASignal() {
        TerminalRig rig;
        Terminal& t = rig.open();
        t.controls().setText(receiveCarrierBox, QStringLiteral("260"));
        t.search().searchDown(); // no jump from 260, then a hertz at a time
        QVERIFY(rig.finish());
        QCOMPARE(t.controls().text(receiveCarrierBox), QStringLiteral("250"));
        QCOMPARE(t.modem().receiveCarrier(0), 250);

        rig.sound.input = pskIdle(1000, 60);
        t.controls().setText(receiveCarrierBox, QStringLiteral("1100"));
        t.rxCarrierChosen();
        t.search().searchDown();
        QVERIFY(rig.finish());
        const int found = t.controls().text(receiveCarrierBox).toInt();
        // It stops on the signal's skirt, within reach of the AFC, not at once or at the edge.
        QVERIFY2(found >= 1000 && found < 1060, qPrintable(QString::number(found)));
    }

    // The signal browser's Enter tunes as a click does: with the AFC off the box shows the new
    // carrier, and the next search starts there, not from the carrier before.
    void browserTuning_movesTheBox_andTheNextSearchStartsThere() {
        TerminalRig rig;
        Terminal& t = rig.open();
        t.modem().setAfc(0, false);
        t.tuneToSignal(1742.4);
        QCOMPARE(t.modem().receiveCarrier(0), 1742);
        QCOMPARE(t.controls().text(receiveCarrierBox), QStringLiteral("1742"));
        rig.sound.input = pskIdle(1650, 60);
        t.search().searchDown();
        QVERIFY(rig.finish());
        const int found = t.modem().receiveCarrier(0);
        QVERIFY2(found >= 1650 && found < 1710, qPrintable(QString::number(found)));
        QCOMPARE(t.controls().text(receiveCarrierBox), QString::number(found));
    }

    void display_rightClickOnANotchDeletesIt_elseOpensTheMenu() {
        TerminalRig rig;
        Terminal& t = rig.open();
        QVERIFY(t.displayClicked(1234, true, 0));
        QCOMPARE(t.marker(), 1234);
        QVERIFY(!rig.store().isEnabled(deleteNotchesMenu));
        t.setNotchHere();
        t.popupClosed();
        QCOMPARE(t.marker(), 0);
        QCOMPARE(t.modem().notchCount(), 1);
        QVERIFY(!t.displayClicked(1234, true, 1));
        QCOMPARE(t.modem().notchCount(), 0);
        t.displayClicked(1742, false, 0); // a click tunes to the signal clicked on
        QCOMPARE(t.modem().receiveCarrier(0), 1742);
        QCOMPARE(t.controls().text(receiveCarrierBox), QStringLiteral("1742"));
        t.displayClicked(900, false, 0, 1);
        QCOMPARE(t.controls().text(secondCarrierLabel), QStringLiteral("900Hz"));
    }

    void nameRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("lower case") << "notes.txt" << true;
        QTest::newRow("upper case") << "notes.TXT" << true;
        QTest::newRow("mixed case") << "notes.Txt" << false;
        QTest::newRow("in the middle") << "txtlog.dat" << true;
        QTest::newRow("no file chosen") << "" << false;
    }
    void nameRule() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(FileSender::acceptsName(name), accepted);
    }

    void refusedName_saysSo_andClosesWithoutKeying() {
        TerminalRig rig;
        Terminal& t = rig.open();
        QSignalSpy closed(&t.fileSender(), &FileSender::closeRequested);
        t.fileSender().sendTextFile(rig.folder.path(), "notes.Txt", FileSender::Trigger::GoF2);
        QVERIFY(rig.finish());
        QCOMPARE(rig.dialogs.messages,
                 QStringList{"Can only retrieve files with an extent of '.txt'"});
        QCOMPARE(closed.count(), 1);
        QVERIFY(rig.sent.isEmpty());
    }

    void file_goesOutLineByLine_withBlankLinesAsSpaces_data() {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<QString>("blank");
        QTest::newRow("double-click") << int(FileSender::Trigger::DoubleClick) << "    ";
        QTest::newRow("Go F2") << int(FileSender::Trigger::GoF2) << "   ";
    }
    void file_goesOutLineByLine_withBlankLinesAsSpaces() {
        QFETCH(int, trigger);
        QFETCH(QString, blank);
        TerminalRig rig;
        Terminal& t = rig.open();
        QVERIFY(writeFile(rig.path("qso.txt"), "CQ TEST\r\n\r\nDE OH2XX\n"));
        QSignalSpy hidden(&t.fileSender(), &FileSender::hideRequested);
        QSignalSpy closed(&t.fileSender(), &FileSender::closeRequested);
        t.fileSender().sendTextFile(rig.folder.path(), "qso.txt", FileSender::Trigger(trigger));
        QVERIFY(rig.finish());
        QCOMPARE(rig.sent, (QStringList{"A0:MX1;", "A0:MX0;"}));
        QCOMPARE(heardFrom(rig.sound.played), "CQ TEST\r" + blank + "\rDE OH2XX\r");
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!t.modem().isTransmitting());
    }

    void failure_afterTheStart_keysUpBeforeTheMessage() {
        TerminalRig rig;
        Terminal& t = rig.open();
        // Reading the process's own memory from its start fails once the file is open.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), rig.path("broken.txt")));
        QStringList sentWhenTold;
        connect(&t.fileSender(), &FileSender::closeRequested, this,
                [&] { sentWhenTold = rig.sent; });
        t.fileSender().sendTextFile(rig.folder.path(), "broken.txt",
                                    FileSender::Trigger::DoubleClick);
        QVERIFY(rig.finish());
        QCOMPARE(rig.sent, (QStringList{"A0:MX1;", "A0:MX0;"}));
        QCOMPARE(sentWhenTold.last(), QStringLiteral("A0:MX0;")); // keyed up before the window goes
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages[0].startsWith(QStringLiteral("Error 23 ")));
        QVERIFY(rig.dialogs.messages[0].endsWith(
            QStringLiteral(". If the error is Permission Denied you might try closing Vantor and "
                           "starting over.")));
        QVERIFY(!t.modem().isTransmitting());
    }

    void browser_listsTextFilesWithoutRegardToCase_andEveryFileForAStar() {
        QTemporaryDir dir;
        for (const char* name : {"a.txt", "B.TXT", "c.Txt", "d.dat"})
            QVERIFY(writeFile(dir.filePath(name), "x"));
        QVERIFY(QDir(dir.path()).mkdir("logs"));
        DirectoryBrowser browser(dir.path());
        QCOMPARE(browser.files(), (QStringList{"a.txt", "B.TXT", "c.Txt"}));
        QCOMPARE(browser.subFolders(), (QStringList{"..", "logs"}));
        browser.setPattern("*");
        QCOMPARE(browser.files().size(), 4);
        QVERIFY(browser.setFolder("logs"));
        QVERIFY(browser.files().isEmpty());
        QVERIFY(!browser.setFolder("no such folder"));
        QCOMPARE(browser.folder(), QDir(dir.filePath("logs")).absolutePath());
        QCOMPARE(DirectoryBrowser::driveOf("/home/op", {"/", "/home"}), QStringLiteral("/home"));
        QCOMPARE(FileSender::joinPath("/home/op", "a.txt"), QStringLiteral("/home/op/a.txt"));
        QCOMPARE(FileSender::joinPath("/", "a.txt"), QStringLiteral("/a.txt"));
    }
};

QTEST_MAIN(TerminalTest)
#include "tst_Terminal.moc"
