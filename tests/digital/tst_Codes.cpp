#include "digital/dsp/Baudot.h"
#include "digital/dsp/QpskCode.h"
#include "digital/dsp/Varicode.h"

#include <QSet>
#include <QTest>

#include <random>

class CodesTest : public QObject {
    Q_OBJECT
private slots:
    void varicode_isCompleteAndUnambiguous() {
        QSet<QByteArray> seen;
        for (int c = 0; c < 128; ++c) {
            const QByteArray code = Varicode::encode(uchar(c));
            QVERIFY2(!code.isEmpty(), qPrintable(QString::number(c)));
            QVERIFY(code.startsWith('1') && code.endsWith('1'));
            QVERIFY2(!code.contains("00"), code.constData());
            QVERIFY(!seen.contains(code));
            seen.insert(code);
        }
        QCOMPARE(Varicode::encode('e'), QByteArray("11"));
        QCOMPARE(Varicode::encode(' '), QByteArray("1"));
        QVERIFY(Varicode::encode(200).isEmpty());
    }

    void varicode_roundTripsEveryCharacter() {
        Varicode::Decoder decoder;
        QByteArray decoded;
        for (int i = 0; i < 3; ++i)
            decoder.push(false); // idle
        for (int c = 0; c < 128; ++c) {
            for (char bit : Varicode::encode(uchar(c)) + "00")
                if (const int got = decoder.push(bit == '1'); got >= 0)
                    decoded.append(char(got));
        }
        QCOMPARE(decoded.size(), 128);
        for (int c = 0; c < 128; ++c)
            QCOMPARE(int(uchar(decoded[c])), c);
    }

    void baudot_roundTripWithShiftsAndUnshiftOnSpace() {
        Baudot::Encoder encoder;
        const QList<quint8> codes = encoder.encode("rst 599 5nn, qth 1A?");
        // after the space the receiver is back in letters: "5" needs FIGS again
        Baudot::Decoder decoder;
        QString text;
        for (quint8 code : codes)
            text += decoder.push(code);
        QCOMPARE(text, QString("RST 599 5NN, QTH 1A?"));
        QCOMPARE(codes.count(Baudot::kFigures), 5); // 599, 5 (after a space), ",", 1, ?
    }

    void baudot_leavesOutWhatItCannotSay() {
        Baudot::Encoder encoder;
        Baudot::Decoder decoder;
        QString text;
        for (quint8 code : encoder.encode("a~b%c"))
            text += decoder.push(code);
        QCOMPARE(text, QString("ABC"));
    }

    void qpskViterbi_correctsScatteredWrongTurns_andWeighsSoftOnes() {
        std::mt19937 random(7);
        std::vector<bool> bits(2000);
        for (size_t i = 0; i < bits.size(); ++i)
            bits[i] = random() & 1;
        QpskCode::Encoder encoder;
        QpskCode::Viterbi viterbi;
        std::vector<bool> decided;
        for (size_t i = 0; i < bits.size() + QpskCode::Viterbi::kDepth; ++i) {
            const bool bit = i < bits.size() && bits[i];
            std::complex<double> turn = QpskCode::turnFor(encoder.push(bit));
            if (i % 12 == 5)
                turn *= std::complex<double>(0, 1); // a whole quarter turn wrong
            if (i % 12 == 9)
                turn = turn * 0.2 + std::complex<double>(0.5, -0.5); // weak and off
            const int out = viterbi.push(turn);
            if (out >= 0)
                decided.push_back(out == 1);
        }
        decided.resize(bits.size());
        QCOMPARE(decided, bits);
    }
};

QTEST_GUILESS_MAIN(CodesTest)
#include "tst_Codes.moc"
