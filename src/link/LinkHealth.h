#pragma once

#include <QObject>
#include <QString>
#include <functional>

class Clock;
class QTcpSocket;
class ServerLine;
struct LinkState;

// Notices a station link that has gone dead without closing (a dead NAT, a pulled cable, a
// relay that stopped forwarding): TCP alone tells nothing for many minutes, while the logger
// keeps being answered from a picture that is no longer true.
//
// Once the station has been silent for a third of the allowed time, the link asks it for a
// status report ("A0:IF;", which every station answers with its IF report), and again every
// third; a station that stays silent for 15 s while the transmitter is keyed, or 45 s
// otherwise, is declared gone. A login not done within 15 s of connecting is given up too.
// Time is read from the monotonic clock at each tick.
//
// A gap between ticks far longer than a second means this program was stopped (a suspended
// laptop, SIGSTOP, a stalled session): its own stop is not the station's silence. The link is
// then judged from the resume, and the station asked for a report at once.
class LinkHealth final : public QObject {
    Q_OBJECT
public:
    static constexpr double kLoginDeadlineSeconds = 15.0;
    static constexpr double kSilenceWhileKeyedSeconds = 15.0;
    static constexpr double kSilenceSeconds = 45.0;
    // Ticks come every second; this long without one, the program itself was stopped.
    static constexpr double kStoppedGapSeconds = 3.0;

    struct Context {
        QTcpSocket& socket; // the station server link
        ServerLine& server;
        const LinkState& link;
        const Clock& clock;
        std::function<bool()> transmitting;
        std::function<void(const QString& why)> linkDead;
        // The program ran again after a stop that began at `stoppedAt` (monotonic seconds),
        // with the link still up.
        std::function<void(double stoppedAt)> resumed = [](double) {};
    };

    explicit LinkHealth(Context context, QObject* parent = nullptr);

    void secondTick();

private:
    void startWatching();
    void checkLogin(double now);
    void checkSilence(double now);
    void resumeAfterStop(double stoppedAt, double now);

    Context ctx_;
    double loginStartedAt_ = 0.0;
    double lastHeard_ = 0.0;
    double lastProbe_ = 0.0;
    double lastTick_ = -1.0;
    bool wasLoggedIn_ = false;
};
