#include "keyer/SideTone.h"
#include "keyer/SideToneRenderer.h"
#include "support/CoreBench.h"

#include <QTest>

class SideToneTest : public QObject {
    Q_OBJECT
private slots:
    void ticking_startsTheTone_whichFollowsSpeedAndQueueRules() {
        CoreBench b;
        b.c().setValue(Ctl::SideTone, 1);
        QCOMPARE(b.tone.starts, 1);
        QVERIFY(b.dialogs.messages.isEmpty());
        SideTone& tone = b.core->sideTone();
        tone.queue(QString(300, u'E'));
        tone.step();
        QCOMPARE(tone.SideToneText().size(), 256); // the first is sounding, 43 are dropped
        QVERIFY(tone.isSounding());
        tone.step(); // the E before is still sounding: nothing more is taken
        QCOMPARE(tone.SideToneText().size(), 256);
        b.tone.pull(int(0.2 * ToneOutput::kSampleRate));
        tone.step(); // close to its end now
        QCOMPARE(tone.SideToneText().size(), 255);
    }

    void untickedWithTextQueued_theQueueStillSounds() {
        CoreBench b;
        b.c().setValue(Ctl::SideTone, 1);
        b.core->sideTone().queue("TEST");
        b.c().setValue(Ctl::SideTone, 0);
        for (int i = 0; i < 40; ++i) {
            b.core->sideTone().step();
            b.tone.pull(ToneOutput::kSampleRate / 10);
        }
        QVERIFY(b.core->sideTone().SideToneText().isEmpty());
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
            b.c().setText(Ctl::Hertz, "5000");
        if (fault == "wave")
            QFile::remove("cw.wav");
        b.c().setValue(Ctl::SideTone, 1);
        QCOMPARE(b.dialogs.messages.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(b.dialogs.messages[i].contains(messages[i]), qPrintable(b.dialogs.messages[i]));
        QCOMPARE(b.c().isTicked(Ctl::SideTone), ticked);
    }

    void apply_restartsAtTheNewPitch() {
        CoreBench b;
        b.c().setValue(Ctl::SideTone, 1);
        b.c().setText(Ctl::Hertz, "600");
        b.core->sideTone().StartToneBuffer(true);
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
        b.c().setValue(Ctl::SideTone, 1);
        b.c().setText(Ctl::CWSpeed, "5"); // "0" lasts over four seconds at 5 wpm
        b.core->sideTone().queue("0");
        b.core->sideTone().step();
        QVERIFY(b.core->sideTone().isSounding());
        b.radio()->feed("FA;");
        QCOMPARE(b.takeWritten(), QByteArray("FA00014000000;"));
        QVERIFY(b.core->sideTone().isSounding());
    }
};

QTEST_GUILESS_MAIN(SideToneTest)
#include "tst_SideTone.moc"
