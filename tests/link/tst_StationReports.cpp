// The station's reports as pure passes: the report pass (frequency, mode, status, login) and
// the quick rules every chunk goes through.
#include "link/ChunkRules.h"
#include "link/StationReportPass.h"
#include "support/PictureBench.h"

#include <QTest>

namespace {

using Station = PictureBench;

QStringList run(Station& s, QString& chunk, bool connected = true) {
    static const QMap<BridgeAction::Kind, QString> kinds{
        {BridgeAction::WriteLogger, "L"}, {BridgeAction::SendToServer, "S"},
        {BridgeAction::SendLogin, "SL"}, {BridgeAction::CopySent, "CS"},
        {BridgeAction::LoginAccepted, "LOGIN"}, {BridgeAction::Fail, "F"}};
    StationReportPass pass(s.picture, s.store, s.login, connected);
    QStringList out;
    for (const BridgeAction& a : pass.run(chunk)) {
        const QString kind = kinds.value(a.kind, QStringLiteral("?"));
        out << (a.text.isEmpty() ? kind : kind + ":" + a.text);
    }
    return out;
}

// The ticks and the chat window, as letters: G guard, A activity watch, R RTTY keying,
// C chat window shown.
ChunkRules::Inputs inputsFrom(const QString& letters) {
    ChunkRules::Inputs inputs;
    inputs.guardOn = letters.contains('G');
    inputs.activityWatchOn = letters.contains('A');
    inputs.rttyKeyingOn = letters.contains('R');
    inputs.chatShowing = letters.contains('C');
    return inputs;
}

// The actions but the monitor copy every chunk gets, as short forms.
QStringList shown(const BridgeActions& actions) {
    static const QMap<BridgeAction::Kind, QString> kinds{
        {BridgeAction::SendToServer, "S"}, {BridgeAction::LogWithTime, "LOG"},
        {BridgeAction::ShowGuardLight, "LIGHT"}, {BridgeAction::ClearGuardNotice, "CLEAR"},
        {BridgeAction::AppendChat, "CHAT"}};
    QStringList out;
    for (const BridgeAction& a : actions)
        if (a.kind == BridgeAction::ShowGuardLight) // the light's state is a number
            out << kinds[a.kind] + ":" + QString::number(a.number);
        else if (a.kind != BridgeAction::CopyFromServer)
            out << (a.text.isEmpty() ? kinds[a.kind] : kinds[a.kind] + ":" + a.text);
    return out;
}

using Rig = PictureBench;

} // namespace

class StationReportsTest : public QObject {
    Q_OBJECT
  private slots:
    // Frequency reports: chunks in turn on one picture; the frequency box after the last,
    // and what the last one gives the logger (to the hertz; nothing when nothing is new).
    void frequencyReports_data() {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("actions");
        const auto row = [](const char* name, const QStringList& chunks, const QString& box,
                            const QStringList& actions) { QTest::newRow(name) << chunks << box << actions; };
        // What the logger is given, and its copy for the monitor.
        const auto told = [](const QString& line) { return QStringList{"L:" + line, "CS:" + line}; };
        row("to the hertz", {"FA00014025055;"}, "00014025.05", told("FA00014025055;"));
        row("the same again: nothing new", {"FA00014025055;", "FA00014025055;"}, "00014025.05", {});
        row("five hertz lower is new", {"FA00014025055;", "FA00014025050;"}, "00014025.05", told("FA00014025050;"));
        row("eight digits are widened", {"FA14074000;"}, "00014074.00", told("FA00014074000;"));
        row("VFO B sets the box too", {"FB00007010000;"}, "00007010.00", told("FB00007010000;"));
        row("the first of two counts", {"FA00014074000;FA00014075000;"}, "00014074.00", told("FA00014074000;"));
        row("a report cut in two is not joined", {"FA000140", "74000;"}, "14000.00", {});
        row("bad digits are no frequency", {"FA1x074000;"}, "14000.00", {});
        row("a word finds nothing", {"via the network"}, "14000.00", {});
        row("text before a status report", {"MG:VERIFY;IF00014074000+0000002000000;"}, "00014074.00",
            {"S:A0:IF00014074000+000000200000;", "CS:A0:IF00014074000+000000200000;", "L:FA00014074000;"});
        row("a status report cut short keeps the mode", {"IF00114074000+0000A1;"}, "00014074.00",
            {"S:A0:IF00014074000+000001300000;", "CS:A0:IF00014074000+000001300000;", "L:FA00014074000;"});
    }
    void frequencyReports() {
        QFETCH(QStringList, chunks);
        QFETCH(QString, box);
        QFETCH(QStringList, actions);
        Station s;
        QStringList last;
        for (QString chunk : chunks)
            last = run(s, chunk);
        QCOMPARE(s.picture.startFreq(), box);
        QCOMPARE(last, actions);
        QCOMPARE(s.picture.modeDigit(), chunks.first().startsWith("MG") ? 2 : 3);
    }

    // The station confirming the mode the logger has just set is not pushed back at the
    // logger (it would be read where the logger waits for its "ID;" answer); a mode changed
    // at the station is.
    void modeReport_confirmingTheLoggersSet_isNotPushed() {
        Station s;
        s.picture.expectModeConfirmation(2);
        QString chunk = "MD02;";
        QCOMPARE(run(s, chunk), QStringList{});
        QCOMPARE(s.store.text(Ctl::modeChoice), QString("USB"));
        chunk = "MD02;"; // the operator at the station chose it again: the logger hears it
        QVERIFY(run(s, chunk).contains("L:MD2;"));
        s.picture.expectModeConfirmation(2);
        chunk = "MD03;";
        QVERIFY(run(s, chunk).contains("L:MD3;"));
    }

    void textWithIfOrAf_isNoStatusReport_data() {
        QTest::addColumn<QString>("chunk");
        QTest::newRow("VER-IF-Y") << "MG:PLEASE VERIFY YOUR LINK;";
        QTest::newRow("AF in a word") << "MG:SAFETY FIRST, CALL AFTER 2200Z;";
        QTest::newRow("IF with letters") << "IF0001407A000+0000002000000;";
        QTest::newRow("IF too short") << "IF000140;";
    }
    void textWithIfOrAf_isNoStatusReport() {
        QFETCH(QString, chunk);
        Station s;
        s.picture.setStartFreq("00014025.00");
        run(s, chunk);
        QCOMPARE(s.picture.startFreq(), QString("00014025.00"));
        QCOMPARE(s.store.text(Ctl::modeChoice), QString("CW"));
    }

    void statusReport_inLoggerDialect_dropsTheBlankField() {
        Station s;
        QString chunk = "IF00014025000     -0010103000000;";
        run(s, chunk);
        QCOMPARE(s.picture.clarifierOffset(), QString("-0010"));
        QCOMPARE(s.picture.ritOn, 1);
        QCOMPARE(s.picture.xitOn, 0);
        QCOMPARE(s.store.text(Ctl::modeChoice), QString("CW"));
    }

    void modeReports_shortAndLongForm() {
        for (const QString& report : {QString("MD2;"), QString("MD02;")}) {
            Station s;
            QString chunk = report;
            QCOMPARE(run(s, chunk), (QStringList{"L:IF00014000000     -000000000020000000;",
                                                 "L:MD2;"}));
            QCOMPARE(s.picture.modeIndex(), 1);
        }
    }

    void modeDigitPastTheList_failsAndKeepsChunk() {
        Station s;
        QString chunk = "MD09;";
        QCOMPARE(run(s, chunk).last(), QString("F:Invalid property value"));
        QCOMPARE(chunk, QString("MD09;"));
        QCOMPARE(s.picture.modeIndex(), 2);
    }

    void clarifierAndTextReports_passToTheLogger() {
        Station s;
        QString chunk = "XT1;RT0;";
        QCOMPARE(run(s, chunk), (QStringList{"L:XT1;", "L:RT0;"}));
        QCOMPARE(s.picture.xitOn, 1);
        QString text = "IA hello";
        QCOMPARE(run(s, text), (QStringList{"L:IA hello", "CS:IA hello"}));
    }

    void login_noCallsign_noAnswer_emptyPasswordStillSent() {
        Station s;
        s.login = {};
        QString chunk = "MG:CALL and Pass;";
        QCOMPARE(run(s, chunk), (QStringList{"SL:MG:Password ;", "CS:MG:Password ;"}));
    }

    void rules_data() {
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QStringList>("chunks"); // in order, on the same link
        QTest::addColumn<QStringList>("actions"); // of the last chunk
        QTest::addColumn<bool>("readReports");
        const auto row = [](const char* name, const QString& inputs, const QStringList& chunks,
                            const QStringList& actions, bool readReports = true) {
            QTest::newRow(name) << inputs << chunks << actions << readReports;
        };
        row("VOX is switched off", "", {"VX1;"}, {"S:A0:VX0;"});
        row("rig power logged once per change", "", {"PS1;", "PS1;", "PS0;"}, {"LOG:RIG OFF at "});
        row("rig power repeated: nothing", "", {"PS1;", "PS1;"}, {});
        row("guard: keyed lights", "G", {"MX1;"}, {"LIGHT:1"});
        row("guard: released darkens", "G", {"MX1;", "MX0;"}, {"LIGHT:0"});
        row("guard off: no light", "", {"MX1;"}, {});
        row("RTTY level keys once, releases once", "R", {"RL:12500", "RL:12800", "RL:05000", "RL:00900"},
            {"S:A0:MX0;"});
        row("RTTY level above: key down", "R", {"RL:12500"}, {"S:A0:MX1;"});
        row("RTTY keying off: nothing", "", {"RL:12500"}, {});
        row("chat line with no window goes no further", "", {"A0:MSGhello there;FA00014074000;"}, {}, false);
        row("chat line shown without a stray letter or the next report", "C",
            {"A0:MSGhello there;FA00014074000;"}, {"CHAT:hello there"});
        row("chat line not finished yet", "C", {"A0:MSGhel"}, {});
    }
    void rules() {
        QFETCH(QString, inputs);
        QFETCH(QStringList, chunks);
        QFETCH(QStringList, actions);
        QFETCH(bool, readReports);
        Rig rig;
        ChunkRules::Outcome outcome;
        for (const QString& chunk : chunks)
            outcome = ChunkRules::apply(chunk, rig.picture, rig.link, inputsFrom(inputs));
        QCOMPARE(shown(outcome.actions), actions);
        QCOMPARE(outcome.readReports, readReports);
        QCOMPARE(outcome.actions.count(BridgeAction{BridgeAction::CopyFromServer, chunks.last()}), 1);
    }

    void stateFollowsTheStation() {
        Rig rig;
        rig.link.guardCount.seconds = 7;
        ChunkRules::apply("MX1;PS0;", rig.picture, rig.link, inputsFrom("G"));
        QVERIFY(rig.picture.transmitting && rig.link.txKeyed && !rig.picture.powerOn);
        ChunkRules::apply("MX0;", rig.picture, rig.link, inputsFrom(""));
        QVERIFY(!rig.picture.transmitting); // the status record follows even unguarded
        QVERIFY(rig.link.txKeyed);          // the guard's input does not
        ChunkRules::apply("MX0;", rig.picture, rig.link, inputsFrom("G"));
        QVERIFY(!rig.link.txKeyed);
        QCOMPARE(rig.link.guardCount.seconds, 0);
    }

    // Activity restarts the idle count and takes the guard's notice away; a chunk without
    // frequency, keyer or key reports is no activity.
    void activity_data() {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<bool>("active");
        for (const char* chunk : {"FA00014074000;", "FB00014074000;", "WK:E;", "MX1;"})
            QTest::newRow(chunk) << chunk << true;
        QTest::newRow("power report") << "PS1;" << false;
    }
    void activity() {
        QFETCH(QString, chunk);
        QFETCH(bool, active);
        Rig rig;
        rig.link.idleCount.seconds = 100;
        rig.link.guardNoticeShown = true;
        const auto outcome = ChunkRules::apply(chunk, rig.picture, rig.link, inputsFrom("A"));
        QCOMPARE(rig.link.activitySeen, active);
        QCOMPARE(rig.link.idleCount.seconds, active ? 0 : 100);
        QCOMPARE(shown(outcome.actions).contains("CLEAR"), active);
    }
};

QTEST_GUILESS_MAIN(StationReportsTest)
#include "tst_StationReports.moc"
