#include "common/ControlStore.h"
#include "common/Controls.h"
#include "link/ChunkRules.h"
#include "station/LinkState.h"
#include "station/StationPicture.h"

#include <QTest>

namespace {

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
QStringList shown(const ReportActions& actions) {
    static const QMap<ReportAction::Kind, QString> kinds{
        {ReportAction::Send, "S"}, {ReportAction::LogWithTime, "LOG"},
        {ReportAction::ShowGuardLight, "LIGHT"}, {ReportAction::ClearGuardNotice, "CLEAR"},
        {ReportAction::AppendChat, "CHAT"}};
    QStringList out;
    for (const ReportAction& a : actions)
        if (a.kind != ReportAction::CopyReceived)
            out << (a.text.isEmpty() ? kinds[a.kind] : kinds[a.kind] + ":" + a.text);
    return out;
}

struct Rig {
    Rig() { store.setText(Ctl::StartFreq, "14000.00"); }
    ControlStore store;
    StationPicture picture{store};
    LinkState link;
};

} // namespace

class ChunkRulesTest : public QObject {
    Q_OBJECT
private slots:
    void rules_data() {
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QStringList>("chunks"); // in order, on the same link
        QTest::addColumn<QStringList>("actions"); // of the last chunk
        QTest::addColumn<bool>("readReports");
        QTest::newRow("VOX is switched off") << "" << QStringList{"VX1;"}
                                             << QStringList{"S:A0:VX0;"} << true;
        QTest::newRow("rig power logged once per change")
            << "" << QStringList{"PS1;", "PS1;", "PS0;"} << QStringList{"LOG:RIG OFF at "} << true;
        QTest::newRow("rig power repeated: nothing") << "" << QStringList{"PS1;", "PS1;"}
                                                     << QStringList{} << true;
        QTest::newRow("guard: keyed lights") << "G" << QStringList{"MX1;"}
                                             << QStringList{"LIGHT:1"} << true;
        QTest::newRow("guard: released darkens") << "G" << QStringList{"MX1;", "MX0;"}
                                                 << QStringList{"LIGHT:0"} << true;
        QTest::newRow("guard off: no light") << "" << QStringList{"MX1;"} << QStringList{} << true;
        QTest::newRow("RTTY level keys once, releases once")
            << "R" << QStringList{"RL:12500", "RL:12800", "RL:05000", "RL:00900"}
            << QStringList{"S:A0:MX0;"} << true;
        QTest::newRow("RTTY level above: key down") << "R" << QStringList{"RL:12500"}
                                                    << QStringList{"S:A0:MX1;"} << true;
        QTest::newRow("RTTY keying off: nothing") << "" << QStringList{"RL:12500"} << QStringList{}
                                                  << true;
        QTest::newRow("chat line with no window goes no further")
            << "" << QStringList{"A0:MSGhello there;FA00014074000;"} << QStringList{} << false;
        QTest::newRow("chat line shown without a stray letter or the next report")
            << "C" << QStringList{"A0:MSGhello there;FA00014074000;"}
            << QStringList{"CHAT:hello there"} << true;
        QTest::newRow("chat line not finished yet") << "C" << QStringList{"A0:MSGhel"}
                                                    << QStringList{} << true;
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
        QCOMPARE(outcome.actions.count(ReportAction{ReportAction::CopyReceived, chunks.last()}), 1);
    }

    void stateFollowsTheStation() {
        Rig rig;
        rig.link.guardCount = 7;
        ChunkRules::apply("MX1;PS0;", rig.picture, rig.link, inputsFrom("G"));
        QVERIFY(rig.picture.transmitting && rig.link.txKeyed && !rig.picture.powerOn);
        ChunkRules::apply("MX0;", rig.picture, rig.link, inputsFrom(""));
        QVERIFY(!rig.picture.transmitting); // the status record follows even unguarded
        QVERIFY(rig.link.txKeyed);          // the guard's input does not
        ChunkRules::apply("MX0;", rig.picture, rig.link, inputsFrom("G"));
        QVERIFY(!rig.link.txKeyed);
        QCOMPARE(rig.link.guardCount, 0);
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
        rig.link.idleCount = 100;
        rig.link.guardNoticeShown = true;
        const auto outcome = ChunkRules::apply(chunk, rig.picture, rig.link, inputsFrom("A"));
        QCOMPARE(rig.link.activitySeen, active);
        QCOMPARE(rig.link.idleCount, active ? 0 : 100);
        QCOMPARE(shown(outcome.actions).contains("CLEAR"), active);
    }
};

QTEST_GUILESS_MAIN(ChunkRulesTest)
#include "tst_ChunkRules.moc"
