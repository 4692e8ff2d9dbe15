#include "cat/CatCommandPass.h"
#include "station/CatFormats.h"
#include "support/PictureBench.h"

#include <QTest>

namespace {

// The picture the logger is answered from: 14025.00 kHz, CW, clarifier off.
struct Station : PictureBench {
    Station() : PictureBench("14025.00") {}
};

QString show(const BridgeAction& a) {
    static const QMap<BridgeAction::Kind, QString> kinds{
        {BridgeAction::ReplyToLogger, "R"}, {BridgeAction::SendToServer, "S"},
        {BridgeAction::CopyFromLogger, "CR"}, {BridgeAction::CopySent, "CS"},
        {BridgeAction::ClearFromLogger, "CLR"}, {BridgeAction::PauseAfterFrequencySet, "P"},
        {BridgeAction::KeyCw, "KY"}, {BridgeAction::SetCwSpeed, "KS"},
        {BridgeAction::AbortCw, "KA"}, {BridgeAction::Fail, "F"}, {BridgeAction::RefuseSet, "R:?;"}};
    const QString kind = kinds.value(a.kind, QStringLiteral("?"));
    if (a.kind == BridgeAction::RefuseSet) // the logger gets the rig's "?;"
        return kind;
    if (a.kind == BridgeAction::SetCwSpeed) // words per minute, as a number
        return kind + ":" + QString::number(a.number);
    return a.text.isEmpty() ? kind : kind + ":" + a.text;
}

// A whole pass over `buffer`, as the actions' short forms; `buffer` keeps what is left.
QStringList pass(Station& s, QString& buffer, bool connected = true) {
    CatCommandPass cat(s.picture, s.picture.frequencyField(), connected, 20);
    QStringList out;
    for (const BridgeAction& a : cat.beforeLoop(buffer))
        out << show(a);
    for (const BridgeAction& a : cat.commandLoop(buffer))
        out << show(a);
    return out;
}

// The actions of one kind, without their prefix.
QStringList only(const QStringList& actions, const QString& kind) {
    QStringList out;
    for (const QString& a : actions)
        if (a.startsWith(kind))
            out << a.mid(kind.size());
    return out;
}

const QString kRecordCW = "IF00014025000     -000000000030000000;";

} // namespace

class CatCommandPassTest : public QObject {
    Q_OBJECT
private slots:
    void queries_data() {
        QTest::addColumn<QString>("startFreq");
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QStringList>("actions");
        const QString r7000 = "IF00007000000     -000000000030000000;";
        QTest::newRow("IF at 7000") << "7000.00" << "IF;" << QStringList{"R:" + r7000, "CS:" + r7000};
        QTest::newRow("FA at 14000.5") << "14000.5" << "FA;"
                                       << QStringList{"R:FA00014000500;", "CS:FA00014000500;"};
        QTest::newRow("poll of both VFOs answers A only")
            << "14025.00" << "IF;FA;FB;"
            << QStringList{"R:" + kRecordCW, "CS:" + kRecordCW, "R:FA00014025000;",
                           "CS:FA00014025000;"};
        QTest::newRow("two status polls")
            << "14025.00" << "IF;IF;"
            << QStringList{"R:" + kRecordCW, "CS:" + kRecordCW, "R:" + kRecordCW, "CS:" + kRecordCW};
        QTest::newRow("FB alone") << "99999.99" << "FB;"
                                  << QStringList{"R:FB00099999990;", "CS:FB00099999990;"};
        QTest::newRow("box text rounded to the hertz") << "14000.1234" << "FA;"
                                                       << QStringList{"R:FA00014000123;", "CS:FA00014000123;"};
        QTest::newRow("typed nonsense reads 0") << "abc" << "FA;"
                                                << QStringList{"R:FA00000000000;", "CS:FA00000000000;"};
        QTest::newRow("too large is held") << "999999999999" << "FA;"
                                           << QStringList{"R:FA99999999999;", "CS:FA99999999999;"};
        QTest::newRow("identity stays for the monitor") << "14025.00" << "ID;"
                                                        << QStringList{"R:ID009;", "CR:ID;"};
        QTest::newRow("filter") << "14025.00" << "FL;" << QStringList{"R:FL000000;", "CR:FL;"};
        QTest::newRow("auto-information off")
            << "14025.00" << "AI0;" << QStringList{"S:A0:IF;", "R:AI0;", "CS:AI0;"};
        QTest::newRow("receive VFO echoes, FR1 first")
            << "14025.00" << "FR0;FR1;" << QStringList{"R:FR1;", "CS:FR1;", "R:FR0;", "CS:FR0;"};
        QTest::newRow("mode query answered as a rig does")
            << "14025.00" << "MD;" << QStringList{"R:MD3;", "CS:MD3;"};
        QTest::newRow("power query") << "14025.00" << "PS;" << QStringList{"R:PS1;", "CS:PS1;"};
        QTest::newRow("AI1 is neither answered nor looped on")
            << "14025.00" << "AI1;" << QStringList{"CR:AI1;"};
        QTest::newRow("41 characters: nothing answered")
            << "14025.00" << QString("IF;").repeated(13) + "FA"
            << QStringList{"CLR"};
        QTest::newRow("keyer buffer has room") << "14025.00" << "KY;" << QStringList{"R:KY0;"};
        QTest::newRow("KY text keyed, padding cut to one gap, its letters no commands")
            << "14025.00" << "KY RTTY NEXT MD TX          ;" << QStringList{"KY:RTTY NEXT MD TX "};
        QTest::newRow("KY text among polls") << "14025.00" << "FA;KY CQ;"
                                             << QStringList{"KY:CQ", "R:FA00014025000;", "CS:FA00014025000;"};
        QTest::newRow("KY0; stops the CW") << "14025.00" << "KY0;" << QStringList{"KA"};
        QTest::newRow("keyer speed read") << "14025.00" << "KS;" << QStringList{"R:KS020;"};
        QTest::newRow("keyer speed set") << "14025.00" << "KS030;" << QStringList{"KS:30"};
        QTest::newRow("filter width for CW") << "14025.00" << "FW;" << QStringList{"R:FW0500;"};
        QTest::newRow("B; alone is dropped") << "14025.00" << "B;" << QStringList{};
        QTest::newRow("double semicolon drops the rest") << "14025.00" << "XX;;" << QStringList{};
    }
    void queries() {
        QFETCH(QString, startFreq);
        QFETCH(QString, buffer);
        QFETCH(QStringList, actions);
        Station s;
        s.picture.setStartFreq(startFreq);
        QCOMPARE(pass(s, buffer), actions);
    }

    void readsAtRest_data() {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QStringList>("replies");
        // What flrig and Hamlib's Kenwood models read that the station reports nothing of:
        // answered at once as the rig at rest answers, in its lengths; a read it does not know
        // gets the rig's "?;" (unanswered, each cost flrig 135 ms and grig eleven retries).
        QTest::newRow("flrig's start: power, S meter, gains, filters")
            << "PC;SM0;AG0;RG;SH;SL;"
            << QStringList{"PC100;", "SM00000;", "AG0100;", "RG255;", "SH00;", "SL00;"};
        QTest::newRow("switches at rest") << "NB;NR;NT;BC;PA;RA;AC;"
            << QStringList{"NB0;", "NR0;", "NT0;", "BC0;", "PA00;", "RA0000;", "AC000;"};
        QTest::newRow("VFO, AGC, squelch, IF shift") << "FR;FT;GT;SQ0;IS;"
            << QStringList{"FR0;", "FT0;", "GT000;", "SQ0000;", "IS 0000;"};
        QTest::newRow("grig's start on the TS-2000 model") << "SD;VD;VG;PL;TO;CT;EX0310000;AG1;"
            << QStringList{"SD0000;", "VD0000;", "VG000;", "PL000000;", "TO0;", "CT0;", "EX03100000;", "AG1100;"};
        QTest::newRow("an unknown read gets the rig's ?;") << "ZZ;" << QStringList{"?;"};
        QTest::newRow("an unknown set is not answered") << "ZZ5;" << QStringList{};
        QTest::newRow("a set is read back, as Hamlib's TS-2000 probes the mic gain")
            << "MG;MG000;MG;MG255;MG;" << QStringList{"MG050;", "MG000;", "MG255;"};
    }
    void readsAtRest() {
        QFETCH(QString, buffer);
        QFETCH(QStringList, replies);
        Station s;
        QCOMPARE(only(pass(s, buffer), "R:"), replies);
    }

    // Frequency sets: what the logger gets back, what the station is sent (the key-up first,
    // the set at once when it is new; the queued set for the periodic sender), the box after.
    void frequencySets_data() {
        QTest::addColumn<QString>("startFreq");
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<QStringList>("toStation");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("queued");
        const QStringList keyUp{"A0:MX0;"};
        QTest::newRow("new") << "14000.00" << "FA00014025000;" << true << QStringList{"FA00014025000;"}
                             << keyUp + QStringList{"FA14025000;"} << "00014025.00" << "A0:FA14025000;";
        QTest::newRow("unchanged: queued and echoed all the same")
            << "14025" << "FA00014025000;" << true << QStringList{"FA00014025000;"} << keyUp << "14025"
            << "A0:FA14025000;";
        QTest::newRow("offline, 8 digits") << "14025.00" << "FA14074000;" << false << QStringList{"FA14074000;"}
                                           << keyUp << "00014074.00" << "A0:FA14074000;";
        QTest::newRow("behind another command")
            << "14025.00" << "ID;FA00007074000;" << true << QStringList{"ID009;", "FA00007074000;"}
            << keyUp + QStringList{"FA07074000;"} << "00007074.00" << "A0:FA07074000;";
        QTest::newRow("the echo is the set alone; what follows is answered")
            << "14025.00" << "FA00007060000;ID;" << true << QStringList{"ID009;", "FA00007060000;"}
            << keyUp + QStringList{"FA07060000;"} << "00007060.00" << "A0:FA07060000;";
        QTest::newRow("a record after the set reads the new frequency")
            << "14025.00" << "FA00007060000;IF;" << true
            << QStringList{"IF00007060000     -000000000030000000;", "FA00007060000;"}
            << keyUp + QStringList{"FA07060000;"} << "00007060.00" << "A0:FA07060000;";
        QTest::newRow("a read before the set keeps the old")
            << "14025.00" << "FA;FA00007060000;" << true << QStringList{"FA00014025000;", "FA00007060000;"}
            << keyUp + QStringList{"FA07060000;"} << "00007060.00" << "A0:FA07060000;";
        QTest::newRow("hertz reach the station") << "14025.05" << "FA00014025055;" << true
                                                 << QStringList{"FA00014025055;"}
                                                 << keyUp + QStringList{"FA14025055;"} << "00014025.05"
                                                 << "A0:FA14025055;";
        QTest::newRow("too short is no frequency") << "14025.00" << "FA1234;" << true << QStringList{}
                                                   << keyUp << "14025.00" << "";
        QTest::newRow("letters are no frequency") << "14025.00" << "FA0001402500X;" << true << QStringList{}
                                                  << keyUp << "14025.00" << "";
        QTest::newRow("ten digits are no frequency") << "14025.00" << "FA0001402500;" << true << QStringList{}
                                                     << keyUp << "14025.00" << "";
        // 100 MHz and more cannot be told to the station (8 digits): refused with the rig's
        // "?;", not cut to 45.89 MHz; the picture and a record read after it keep the old, and
        // the station hears nothing of it (gpredict retries such a set every second).
        QTest::newRow("145.89 MHz is refused, not cut") << "14025.00" << "FA00145890000;IF;" << true
            << QStringList{"IF00014025000     -000000000030000000;", "?;"} << QStringList{} << "14025.00" << "";
        QTest::newRow("99.999999 MHz is carried") << "14025.00" << "FA00099999999;" << true
            << QStringList{"FA00099999999;"} << keyUp + QStringList{"FA99999999;"} << "00099999.99"
            << "A0:FA99999999;";
    }
    void frequencySets() {
        QFETCH(QString, startFreq);
        QFETCH(QString, buffer);
        QFETCH(bool, connected);
        QFETCH(QStringList, replies);
        QFETCH(QStringList, toStation);
        QFETCH(QString, box);
        QFETCH(QString, queued);
        Station s;
        s.picture.setStartFreq(startFreq);
        const QStringList actions = pass(s, buffer, connected);
        QCOMPARE(only(actions, "R:"), replies);
        QCOMPARE(only(actions, "S:"), toStation);
        QCOMPARE(actions.contains("P"), toStation.size() > 1); // the pause before the echo
        QCOMPARE(s.picture.startFreq(), box);
        QCOMPARE(s.picture.pendingFreqCommand, queued);
    }

    // The logger reads back the hertz it set while the box shows 10 Hz steps; typing into the
    // box makes its value the frequency again.
    void frequency_keepsTheHertzUntilTheBoxIsTyped() {
        Station s;
        QString buffer = "FA00014025055;";
        pass(s, buffer);
        buffer = "FA;";
        QCOMPARE(pass(s, buffer).first(), QString("R:FA00014025055;"));
        s.store.setText(Ctl::frequencyBox, "7010.00");
        buffer = "FA;";
        QCOMPARE(pass(s, buffer).first(), QString("R:FA00007010000;"));
    }

    void modeSet_updatesPictureAndStation_notLogger() {
        Station s;
        s.picture.setModeIndex(1);
        QString buffer = "MD3;";
        QCOMPARE(pass(s, buffer), (QStringList{"CS:" + kRecordCW, "S:A0:MD03;", "CS:A0:MD03;"}));
        QCOMPARE(s.store.text(Ctl::modeChoice), QString("CW"));
        QVERIFY(buffer.isEmpty());
        // the station's confirmation of it is awaited, once
        QVERIFY(s.picture.takeModeConfirmation(3) && !s.picture.takeModeConfirmation(3));

        buffer = "MD0;"; // no mode chosen, and the station is told so
        QCOMPARE(pass(s, buffer).mid(1), (QStringList{"S:A0:MD00;", "CS:A0:MD00;"}));
        QCOMPARE(s.picture.modeIndex(), -1);
    }

    void modeSet_unusable_failsAndKeepsBuffer_data() {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QString>("failure");
        QTest::newRow("digit past the list") << "IF;MD8;" << "F:Invalid property value";
        QTest::newRow("not a digit") << "MDx;" << "F:Type mismatch";
        QTest::newRow("cut off") << "MD" << "F:Type mismatch";
    }
    void modeSet_unusable_failsAndKeepsBuffer() {
        QFETCH(QString, buffer);
        QFETCH(QString, failure);
        Station s;
        const QString before = QString(buffer).remove("IF;");
        const QStringList actions = pass(s, buffer);
        QCOMPARE(actions.last(), failure);
        QCOMPARE(buffer, before); // kept for the next pass
        QCOMPARE(s.picture.modeIndex(), 2);
    }

    void keying_data() {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("keyDowns");
        QTest::addColumn<int>("keyUps");
        QTest::newRow("TX;IF;IF; keys once per round") << "TX;IF;IF;" << true << 2 << 0;
        QTest::newRow("TX; offline sends nothing") << "TX;" << false << 0 << 0;
        QTest::newRow("RX; before and in the loop") << "RX;" << true << 0 << 2;
        // Kenwood's TX with a digit (microphone, data, tune) keys down as TX; does: taken for a
        // key-up, flrig's and Hamlib's TS-480 PTT released the transmitter it meant to key.
        QTest::newRow("TX0; (microphone) keys down") << "TX0;" << true << 1 << 0;
        QTest::newRow("TX1; (data) keys down") << "TX1;" << true << 1 << 0;
        QTest::newRow("TX2;IF;IF; (tune) keys once per round") << "TX2;IF;IF;" << true << 2 << 0;
        QTest::newRow("TX12; is no command") << "TX12;" << true << 0 << 0;
    }
    void keying() {
        QFETCH(QString, buffer);
        QFETCH(bool, connected);
        QFETCH(int, keyDowns);
        QFETCH(int, keyUps);
        Station s;
        const QStringList actions = pass(s, buffer, connected);
        QCOMPARE(actions.count("S:A0:MX1;"), keyDowns);
        QCOMPARE(actions.count("CS:A0:MX1;"), keyDowns);
        QCOMPARE(actions.count("S:A0:MX0;"), keyUps);
    }

    void clarifiers_toggleOnEveryCommandContainingThem() {
        Station s;
        QString buffer = "XT1;";
        QCOMPARE(pass(s, buffer), (QStringList{"S:A0:XT1;", "CR:XT1;"}));
        QCOMPARE(s.picture.xitOn, 1);
        buffer = "XT1;";
        QCOMPARE(pass(s, buffer).first(), QString("S:A0:XT0;"));
        QCOMPARE(s.picture.xitOn, 0);
        buffer = "RT1;";
        pass(s, buffer);
        QCOMPARE(s.picture.ritOn, 1);
        buffer = "IF;";
        QVERIFY(pass(s, buffer).first().contains("-000010000030000000;"));
        // With no digit they are reads (Hamlib's get_func RIT, grig at every start): answered
        // from the picture, nothing sent, nothing toggled.
        buffer = "RT;XT;";
        QCOMPARE(pass(s, buffer), (QStringList{"R:XT0;", "CS:XT0;", "R:RT1;", "CS:RT1;"}));
        QCOMPARE(s.picture.ritOn, 1);
        QCOMPARE(s.picture.xitOn, 0);
    }

    // The record answers the commands in the order the logger sent them.
    void statusRecord_transmitDigit_data() {
        QTest::addColumn<QString>("keyedBefore"); // a key line the station was sent earlier
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QChar>("digit");
        QTest::newRow("keyed earlier") << "A0:MX1;" << "IF;" << true << QChar('1');
        QTest::newRow("released earlier") << "A0:MX0;" << "IF;" << true << QChar('0');
        QTest::newRow("TX then IF in one burst") << "" << "TX;IF;" << true << QChar('1');
        QTest::newRow("IF then TX in one burst") << "" << "IF;TX;" << true << QChar('0');
        QTest::newRow("TX, RX, IF") << "A0:MX1;" << "TX;RX;IF;" << true << QChar('0');
        QTest::newRow("TX1 then IF in one burst") << "" << "TX1;IF;" << true << QChar('1');
        QTest::newRow("TX with the link down keys nothing") << "" << "TX;IF;" << false << QChar('0');
    }
    void statusRecord_transmitDigit() {
        QFETCH(QString, keyedBefore);
        QFETCH(QString, buffer);
        QFETCH(bool, connected);
        QFETCH(QChar, digit);
        Station s;
        s.picture.noteServerLine(keyedBefore);
        const QStringList actions = pass(s, buffer, connected);
        const auto record = std::find_if(actions.begin(), actions.end(),
                                         [](const QString& a) { return a.startsWith("R:IF"); });
        QVERIFY(record != actions.end());
        QCOMPARE(record->mid(2)[28], digit);
    }
};

QTEST_GUILESS_MAIN(CatCommandPassTest)
#include "tst_CatCommandPass.moc"
