#pragma once

#include <QObject>
#include <QTimer>

class LoggerPort;
class ControlStore;
class MonitorBoxes;
class ServerLine;
class StationPicture;

// The operator's own frequency controls: the two stepping buttons beside the frequency box,
// and "Send to Radio" / "Send to Corvel" for the raw text box.
//
// A stepping button held down moves the frequency every 50 ms (0.1 kHz with the left mouse
// button, 1 kHz with any other); the logger's polls see every step, the station only the
// frequency where the button was let go.
class FrequencyStepper final : public QObject {
    Q_OBJECT
public:
    static constexpr double kStepPauseSeconds = 0.05;
    static constexpr double kFineStepKHz = 0.1;
    static constexpr double kCoarseStepKHz = 1.0;
    static constexpr double kHighestKHz = 99999.99;

    struct Context {
        StationPicture& picture;
        const LoggerPort& logger;
        ServerLine& server;
        MonitorBoxes& monitors;
        ControlStore& store;
    };

    explicit FrequencyStepper(Context context, QObject* parent = nullptr);

    // Mouse button down on a stepping button: one step now, then one on every tick of the
    // step timer until release() is called.
    void press(bool up, bool leftButton);
    // One step while a button is held: the step timer's tick.
    void step();
    // Mouse button up: the frequency goes to the logger and the station.
    void release();
    // The program ends while a button is held: the stepping stops, nothing is sent.
    void stop();
    bool isStepping() const { return stepTimer_.isActive(); }

    void sendToRadio();
    void sendToCorvel();

    // One step from the given kHz text, as the box shows it (11 characters, 00014000.10).
    static QString stepped(const QString& kHzText, double stepKHz);
    // The box's text as 11 digits in Hz for the set command (00014000.10 gives 00014000100).
    static QString setCommandDigits(const QString& kHzText);

private:
    Context ctx_;
    QTimer stepTimer_;
    double stepKHz_ = 0;
};
