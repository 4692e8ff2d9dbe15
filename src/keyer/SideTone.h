#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class ControlStore;
class Dialogs;
class SideToneRenderer;
class ToneOutput;

// The local side tone: the CW the logger sends, sounded here at the pitch in "Hertz", the
// speed in the CW box and the level of the "Vol" slider.
//
// The keying is done in the audio stream itself, so the program never stops to time an
// element; a character is taken from the queue when the one before it, with its gap, is
// about to end, so that the characters follow each other without a break.
class SideTone final : public QObject {
    Q_OBJECT
public:
    static constexpr int kQueueKept = 256;     // what stays queued behind the character taken
    static constexpr double kLeadSeconds = 0.15; // how early the next character is taken
    static constexpr double kWaveformRate = 70.5;
    static inline const QString kSoundCardError = QStringLiteral("Error accessing sound card");

    struct Context {
        ControlStore& store;
        Dialogs& dialogs;
        ToneOutput& output;
        std::function<int()> cwSpeed; // words per minute, as the CW station keys
    };

    explicit SideTone(Context context, QObject* parent = nullptr);
    ~SideTone() override;

    // Characters from the keyer, already upper case.
    void queue(const QString& text);
    // The 100 ms tick: sounds the next character when the one before is ending.
    void step();
    // Starts (or, from "Apply", restarts) the tone from "cw.wav" at the pitch in "Hertz".
    void startToneBuffer(bool restart);
    void stop();

    // The pitch the operator typed into "Hertz" (the tone takes it at its next start); its
    // number is the CW pitch the spots' frequencies are reckoned with.
    void takeTypedPitch(const QString& text) { pitchText_ = text; }
    double pitchHz() const;

    const QString& sideToneText() const { return sideToneText_; }
    bool isSounding() const;
    SideToneRenderer* renderer() const { return renderer_.get(); }

private:
    void onControlChanged(const QString& name);
    void failToStart(const QString& why);

    Context ctx_;
    QString sideToneText_;
    QString pitchText_;
    std::unique_ptr<SideToneRenderer> renderer_;
};
