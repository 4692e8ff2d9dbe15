#pragma once

#include "StationReportPass.h"

#include <QObject>
#include <functional>

class ChatLines;
class Clock;
class CommPort;
class ControlStore;
class Dialogs;
class LogFile;
class MonitorBoxes;
class QTcpSocket;
class ServerLine;
class StationPicture;
struct LinkState;

// Everything the station server sends arrives here, one chunk per read: the quick work on
// each chunk (receive light, VOX, monitor, rig power log, guard and activity inputs, RTTY
// level keying, chat lines), then the station-report pass for the reports in it.
class ServerReceiver final : public QObject {
    Q_OBJECT
public:
    // A chunk is at most this long; the rest waits in the socket for the next pass.
    static constexpr qint64 kMaxChunk = 16 * 1024;
    static constexpr double kRttyKeyLevel = 12000;
    static constexpr double kRttyReleaseLevel = 1000;

    struct Context {
        QTcpSocket& socket; // Winsock2
        ServerLine& server;
        LinkState& link;
        StationPicture& picture;
        ControlStore& store;
        MonitorBoxes& monitors;
        CommPort& radioPort;
        LogFile& log;
        const Clock& clock;
        Dialogs& dialogs;
        ChatLines& chat;
        std::function<void()> linkLost;      // the socket is gone while data arrives
        std::function<void()> loginAccepted; // "Login OK"
    };

    explicit ServerReceiver(Context context, QObject* parent = nullptr);

    // The socket's data-arrival event.
    void onDataArrived();
    // One station-report pass over the chunk (the chunk is emptied by a normal pass).
    void GetData1(QString& chunk);

private:
    void handleChunk(QString& chunk);
    void logRigPower(const QString& chunk);
    void followTransmitter(const QString& chunk);
    void noteActivity(const QString& chunk);
    void keyOnRttyLevel(const QString& chunk);
    bool passChatLine(const QString& chunk);
    void dispatch(QString& chunk);
    bool perform(const ReportActions& actions);
    void writeLogger(const QString& text);

    Context ctx_;
};
