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

// A frequency set: the box before, the logger's bytes, online or not; what the logger gets
// back, what the station is sent, the box after and the set queued for the periodic sender.
struct FrequencySet {
    QString startFreq, buffer;
    bool connected = true;
    QStringList replies, toStation;
    QString box, queued;
};
Q_DECLARE_METATYPE(FrequencySet)

class CatCommandPassTest : public QObject {
    Q_OBJECT
private slots:
    void queries_data() {
        QTest::addColumn<QString>("startFreq");
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QStringList>("actions");
        const auto row = [](const char* name, const QString& buffer, const QStringList& actions,
                            const QString& startFreq = "14025.00") {
            QTest::newRow(name) << startFreq << buffer << actions;
        };
        // The logger's answer, and its copy for the monitor.
        const auto answered = [](const QString& reply) { return QStringList{"R:" + reply, "CS:" + reply}; };
        const QString r7000 = "IF00007000000     -000000000030000000;";
        row("IF at 7000", "IF;", answered(r7000), "7000.00");
        row("FA at 14000.5", "FA;", answered("FA00014000500;"), "14000.5");
        row("poll of both VFOs answers A only", "IF;FA;FB;", answered(kRecordCW) + answered("FA00014025000;"));
        row("two status polls", "IF;IF;", answered(kRecordCW) + answered(kRecordCW));
        row("FB alone", "FB;", answered("FB00099999990;"), "99999.99");
        row("box text rounded to the hertz", "FA;", answered("FA00014000123;"), "14000.1234");
        row("typed nonsense reads 0", "FA;", answered("FA00000000000;"), "abc");
        row("too large is held", "FA;", answered("FA99999999999;"), "999999999999");
        row("identity stays for the monitor", "ID;", {"R:ID009;", "CR:ID;"});
        row("filter", "FL;", {"R:FL000000;", "CR:FL;"});
        row("auto-information off", "AI0;", QStringList{"S:A0:IF;"} + answered("AI0;"));
        row("receive VFO echoes, FR1 first", "FR0;FR1;", answered("FR1;") + answered("FR0;"));
        row("mode query answered as a rig does", "MD;", answered("MD3;"));
        row("power query", "PS;", answered("PS1;"));
        row("AI1 is neither answered nor looped on", "AI1;", {"CR:AI1;"});
        row("41 characters: nothing answered", QString("IF;").repeated(13) + "FA", {"CLR"});
        row("keyer buffer has room", "KY;", {"R:KY0;"});
        row("KY text keyed, padding cut to one gap, its letters no commands", "KY RTTY NEXT MD TX          ;",
            {"KY:RTTY NEXT MD TX "});
        row("KY text among polls", "FA;KY CQ;", QStringList{"KY:CQ"} + answered("FA00014025000;"));
        row("KY0; stops the CW", "KY0;", {"KA"});
        row("keyer speed read", "KS;", {"R:KS020;"});
        row("keyer speed set", "KS030;", {"KS:30"});
        row("filter width for CW", "FW;", {"R:FW0500;"});
        row("B; alone is dropped", "B;", {});
        row("double semicolon drops the rest", "XX;;", {});
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
        QTest::addColumn<FrequencySet>("set");
        const auto row = [](const char* name, const FrequencySet& set) { QTest::newRow(name) << set; };
        const QStringList keyUp{"A0:MX0;"};
        // Connected, from 14025.00 unless told: the key-up and `set` go to the station at once,
        // and `set` is queued for the periodic sender; none: the key-up alone, nothing queued.
        const auto sets = [&](const char* name, const QString& buffer, const QStringList& replies,
                              const QString& set, const QString& box, const QString& startFreq = "14025.00") {
            row(name, {startFreq, buffer, true, replies, set.isEmpty() ? keyUp : keyUp + QStringList{set}, box,
                       set.isEmpty() ? "" : "A0:" + set});
        };
        sets("new", "FA00014025000;", {"FA00014025000;"}, "FA14025000;", "00014025.00", "14000.00");
        row("unchanged: queued and echoed all the same",
            {"14025", "FA00014025000;", true, {"FA00014025000;"}, keyUp, "14025", "A0:FA14025000;"});
        row("offline, 8 digits",
            {"14025.00", "FA14074000;", false, {"FA14074000;"}, keyUp, "00014074.00", "A0:FA14074000;"});
        sets("behind another command", "ID;FA00007074000;", {"ID009;", "FA00007074000;"}, "FA07074000;",
             "00007074.00");
        sets("the echo is the set alone; what follows is answered", "FA00007060000;ID;",
             {"ID009;", "FA00007060000;"}, "FA07060000;", "00007060.00");
        sets("a record after the set reads the new frequency", "FA00007060000;IF;",
             {"IF00007060000     -000000000030000000;", "FA00007060000;"}, "FA07060000;", "00007060.00");
        sets("a read before the set keeps the old", "FA;FA00007060000;", {"FA00014025000;", "FA00007060000;"},
             "FA07060000;", "00007060.00");
        sets("hertz reach the station", "FA00014025055;", {"FA00014025055;"}, "FA14025055;", "00014025.05",
             "14025.05");
        sets("too short is no frequency", "FA1234;", {}, "", "14025.00");
        sets("letters are no frequency", "FA0001402500X;", {}, "", "14025.00");
        sets("ten digits are no frequency", "FA0001402500;", {}, "", "14025.00");
        // 100 MHz and more cannot be told to the station (8 digits): refused with the rig's
        // "?;", not cut to 45.89 MHz; the picture and a record read after it keep the old, and
        // the station hears nothing of it (gpredict retries such a set every second).
        row("145.89 MHz is refused, not cut",
            {"14025.00", "FA00145890000;IF;", true, {"IF00014025000     -000000000030000000;", "?;"}, {},
             "14025.00", ""});
        sets("99.999999 MHz is carried", "FA00099999999;", {"FA00099999999;"}, "FA99999999;", "00099999.99");
    }
    void frequencySets() {
        QFETCH(FrequencySet, set);
        Station s;
        s.picture.setStartFreq(set.startFreq);
        const QStringList actions = pass(s, set.buffer, set.connected);
        QCOMPARE(only(actions, "R:"), set.replies);
        QCOMPARE(only(actions, "S:"), set.toStation);
        QCOMPARE(actions.contains("P"), set.toStation.size() > 1); // the pause before the echo
        QCOMPARE(s.picture.startFreq(), set.box);
        QCOMPARE(s.picture.pendingFreqCommand, set.queued);
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
