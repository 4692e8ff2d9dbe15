// A Hamlib network session on any bytes a client may send, in two reads cut anywhere.
// Invariants: every answer is ASCII lines, bounded by the input (dump_state and dump_caps
// aside), the rig is set only to frequencies and modes it can hold, and the same bytes cut
// differently give the same answers and the same sets.
#include "FuzzCheck.h"
#include "endpoints/RigctlRig.h"
#include "endpoints/RigctlSession.h"

#include <QStringList>
#include <cstdint>

namespace {
struct Rig : RigctlRig {
    qint64 frequencyHz() const override { return hz; }
    bool setFrequencyHz(qint64 to) override {
        FUZZ_CHECK(to >= 0 && to <= 99999999999LL);
        if (to > highestFrequencyHz())
            return false; // refused as the station's rig refuses it
        hz = to;
        calls << QString::number(to);
        return true;
    }
    qint64 highestFrequencyHz() const override { return 99999999; }
    int modeDigit() const override { return mode; }
    void setModeDigit(int digit) override {
        FUZZ_CHECK(digit >= 1 && digit <= 7);
        mode = digit;
        calls << QString("M%1").arg(digit);
    }
    bool transmitting() const override { return keyed; }
    void setTransmitting(bool on) override { keyed = on; calls << QString("T%1").arg(on); }
    void sendMorse(const QString& text) override { calls << "b" + text; }
    void stopMorse() override { calls << "stop"; }
    int keySpeed() const override { return wpm; }
    void setKeySpeed(int to) override {
        FUZZ_CHECK(to >= 5 && to <= 99);
        wpm = to;
    }
    qint64 hz = 14025000;
    int mode = 3, wpm = 20;
    bool keyed = false;
    QStringList calls;
};

QByteArray runCut(const QByteArray& bytes, qsizetype cut, Rig& rig) {
    RigctlSession session(rig);
    QByteArray answers = session.feed(bytes.left(cut));
    if (!session.wantsClose())
        answers += session.feed(bytes.mid(cut));
    return answers;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Rig whole;
    const QByteArray answers = runCut(bytes, bytes.size(), whole);
    for (char c : answers)
        FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    const qsizetype dumps = bytes.count("dump") + bytes.count('1') + 1;
    FUZZ_CHECK(answers.size() <= 64 * (bytes.size() + 1) + 4096 * dumps);
    if (size > 1) {
        Rig split;
        const QByteArray cutAnswers = runCut(bytes, data[0] % size, split);
        FUZZ_CHECK(cutAnswers == answers);
        FUZZ_CHECK(split.calls == whole.calls);
    }
    return 0;
}
