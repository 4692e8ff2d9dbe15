// Callsigns picked out of a station's decoded CW as a skimmer does: where operators put their
// call, in the form of a callsign, and only when decoded twice or known, so that busted calls
// stay out of the logger's bandmap.
#include "digital/skimmer/CallsignPicker.h"

#include <QSet>
#include <QTest>

namespace {
const QSet<QString> kKnown{"DL1ABC", "DL1AB", "K1ABC", "OH2XX", "W1AW"};

QStringList spotted(const QString& text, const QString& own = "OH2XX") {
    CallsignPicker picker([](const QString& call) { return kKnown.contains(call); }, own);
    QStringList out;
    for (const CallsignPicker::Call& call : picker.take(text + " "))
        out << call.call + (call.calledCq ? " CQ" : " DE");
    return out;
}
} // namespace

class CallsignPickerTest : public QObject {
    Q_OBJECT
private slots:
    void callsignForm_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("isCall");
        for (const char* call : {"DL1ABC", "K1A", "9A1AA", "3DA0XX", "E71A", "VP2EAA", "W1AW",
                                 "DL/OH2XX", "OH2XX/P", "K1ABC/QRP", "G4ABC/MM", "JA1XYZ/3"})
            QTest::newRow(call) << QString(call) << true;
        for (const char* other : {"CQ", "TEST", "5NN", "599", "TU", "73", "ABCDEF", "K1", "1ABC",
                                  "DL1ABCDE", "OH2XX/", "OH2XX/PP", "E5E5E5E5E5E5E5E5E"})
            QTest::newRow(other) << QString(other) << false;
    }
    void callsignForm() {
        QFETCH(QString, word);
        QFETCH(bool, isCall);
        QCOMPARE(CallsignPicker::looksLikeCallsign(word), isCall);
    }

    void whereOperatorsPutTheirCall_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("spots");
        // Unknown calls need two decodings; known ones one.
        QTest::newRow("CQ, the call twice") << "CQ TEST G4XYZ G4XYZ" << QStringList{"G4XYZ CQ"};
        QTest::newRow("an unknown call once is not spotted") << "CQ CQ DE G4XYZ K" << QStringList{};
        QTest::newRow("a known call once is") << "CQ CQ DE DL1ABC K" << QStringList{"DL1ABC CQ"};
        QTest::newRow("<call> TEST") << "K1ABC TEST" << QStringList{"K1ABC CQ"};
        QTest::newRow("TU <call>, after an exchange") << "5NN 001 TU K1ABC" << QStringList{"K1ABC CQ"};
        QTest::newRow("DE <call>, answering") << "OH2XX DE DL1ABC 5NN" << QStringList{"DL1ABC DE"};
        QTest::newRow("one decoding counts once, whatever points at it")
            << "CQ G4XYZ TEST" << QStringList{};
        QTest::newRow("twice from the station") << "CQ G4XYZ TEST  TU G4XYZ" << QStringList{"G4XYZ CQ"};
        QTest::newRow("a busted call stays out") << "CQ DL1ABX DL1ABC" << QStringList{"DL1ABC CQ"};
        QTest::newRow("a call-shaped word anywhere else is no call") << "UR RST 599 G4XYZ HR" << QStringList{};
        QTest::newRow("each call once") << "K1ABC TEST K1ABC TEST K1ABC" << QStringList{"K1ABC CQ"};
        QTest::newRow("portable forms") << "DE DL/G4XYZ DL/G4XYZ" << QStringList{"DL/G4XYZ DE"};
        QTest::newRow("twice in a row, its CQ lost in the noise") << "Q TEST G4XYZ G4XYZ" << QStringList{"G4XYZ DE"};
        QTest::newRow("TEST <call>, its CQ lost, its second call busted")
            << "+Q TEST G4XYZ AT4XYZ TEST TU G4XYZ" << QStringList{"G4XYZ CQ"};
        QTest::newRow("after a closing TEST comes a caller, not the station")
            << "G4XYZ TEST W2XX 5NN G4XYZ TEST W2XX 5NN" << QStringList{"G4XYZ CQ"};
        // A gap misheard changes a key word's letters, not its keying.
        QTest::newRow("TU heard as TEA, DE as TIE, CQ as KEQ")
            << "5NN 001 TEA K1ABC  OH2XX TIE DL1ABC  KEQ W1AW" << QStringList{"K1ABC CQ", "DL1ABC DE", "W1AW CQ"};
        QTest::newRow("TU with a blip of noise before it") << "5NN 001 ITU K1ABC  5NN AU DL1ABC"
                                                           << QStringList{"K1ABC CQ", "DL1ABC CQ"};
        QTest::newRow("a word that only ends as TU does") << "5NN BX K1ABC  NNU DL1ABC" << QStringList{};
        QTest::newRow("<call> TEST heard as <call> DIT") << "K1ABC DIT" << QStringList{"K1ABC CQ"};
        QTest::newRow("the end of an opening TEST") << "ST K1ABC  5 IT DL1ABC" << QStringList{"K1ABC CQ", "DL1ABC CQ"};
        QTest::newRow("a closing TEST misheard, then a caller")
            << "G4XYZ DIT DL1ABC 5NN  G4XYZ ST DL1ABC 5NN" << QStringList{};
        QTest::newRow("too little of TEST, or another word") << "T K1ABC  TE K1ABC  SIT DL1ABC" << QStringList{};
        // "CQ TEST <call> <call> TEST" with the second rendition lost in a fade.
        QTest::newRow("a known call before TEST, its repeat garbled") << "I DL1ABC E3E TA TEST" << QStringList{"DL1ABC CQ"};
        QTest::newRow("an unknown one is not") << "I G4XYZ E3E TA TEST" << QStringList{};
        QTest::newRow("a call in an exchange before TEST is the caller's") << "DL1ABC 599 14 TEST" << QStringList{};
        QTest::newRow("a call in an exchange, 5NN") << "K1ABC 5NN TEST" << QStringList{};
        QTest::newRow("more words between than a call's repeat") << "DL1ABC E T E T E TEST" << QStringList{};
        QTest::newRow("keyed longer than a call's repeat")
            << "K1ABC TTTTTTTT TTTTTTTT TTTTTTTT TEST" << QStringList{};
        // A station sends only its own call where calls are picked.
        QTest::newRow("a misreading of a call decoded more often is held back")
            << "CQ DL1ABC DL1ABC TEST  TU DL1AB" << QStringList{"DL1ABC CQ"};
        QTest::newRow("a call spotted on one decoding does not hold back its fuller one")
            << "CQ DL1AB  TU DL1ABC" << QStringList{"DL1AB CQ", "DL1ABC CQ"};
    }
    void whereOperatorsPutTheirCall() {
        QFETCH(QString, text);
        QFETCH(QStringList, spots);
        QCOMPARE(spotted(text), spots);
    }

    void ownCall_isNeverSpotted_inAnyForm() {
        QCOMPARE(spotted("CQ TEST OH2XX OH2XX", "oh2xx"), QStringList{});
        QCOMPARE(spotted("DE OH2XX/P OH2XX/P", "OH2XX"), QStringList{});
        QCOMPARE(spotted("DE OH2XX OH2XX", "DL/OH2XX"), QStringList{});
        QCOMPARE(spotted("DE OH2XX OH2XX", ""), QStringList{"OH2XX DE"});
    }

    // The text comes as the receiver decodes it; noise makes long runs and many calls.
    void textInPieces_andNoise_areTakenInBounds() {
        CallsignPicker picker([](const QString&) { return false; }, "OH2XX");
        QList<CallsignPicker::Call> got;
        for (const QString piece : {"C", "Q T", "EST G4", "XYZ G", "4XYZ", " "})
            got += picker.take(piece);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].call, QString("G4XYZ"));

        picker.reset();
        QString noise = QString("E").repeated(100000) + " ";
        for (int i = 0; i < 1000; ++i)
            noise += QString("DE K%1AB ").arg(i % 10) + QChar('A' + i % 26) + " ";
        QCOMPARE(picker.take(noise).size(), 10 + 0); // K0AB..K9AB, each decoded a hundred times
    }

    // A call read from its renditions together: their one-by-one readings were counted
    // already, so it is spotted only when the known list backs it, once, never the own call,
    // and only in a callsign's form. Read from the earlier renditions alone, it is a decoding
    // of its own: spotted when this rendition was heard as the same call, or when it is known.
    void repeatedWord_isSpottedOnlyWhenKnownOrHeardAgain_once() {
        CallsignPicker picker([](const QString& call) { return kKnown.contains(call); }, "OH2XX");
        QVERIFY(picker.takeRepeated("G4XYZ", "G4XYZ", "G4XZ").isEmpty()); // not known, heard otherwise
        QVERIFY(picker.takeRepeated("G4XYZ", "G4XYZ", "").isEmpty());    // and not counted twice by this
        QVERIFY(picker.takeRepeated("OH2XX", "OH2XX", "OH2XX").isEmpty()); // own call
        QVERIFY(picker.takeRepeated("TEST", "TEST", "TEST").isEmpty());
        const QList<CallsignPicker::Call> spots = picker.takeRepeated("dl1abc", "", "");
        QCOMPARE(spots.size(), 1);
        QCOMPARE(spots[0].call, QStringLiteral("DL1ABC"));
        QVERIFY(picker.takeRepeated("DL1ABC", "", "").isEmpty());
        QVERIFY(picker.take(QStringLiteral("CQ DL1ABC DL1ABC ")).isEmpty()); // spotted already
        QCOMPARE(picker.takeRepeated("K1ABU", "k1abc", "K1ABC").value(0).call, QStringLiteral("K1ABC"));
        QVERIFY(picker.takeRepeated("G4XYZ", "G4XYZ", "G4XYZ").size() == 1);
        QCOMPARE(picker.takeRepeated("W1AQ", "W1AW", "").value(0).call, QStringLiteral("W1AW")); // known
    }
};

QTEST_GUILESS_MAIN(CallsignPickerTest)
#include "tst_CallsignPicker.moc"
