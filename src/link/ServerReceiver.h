#pragma once

#include "common/Login.h"

#include "StationReportPass.h"

#include <QObject>
#include <functional>

class ChatLines;
class Clock;
class ControlStore;
class Dialogs;
class LogFile;
class MonitorBoxes;
class QTcpSocket;
class ServerLine;
class StationPicture;
struct LinkState;

// Everything the station server sends arrives here, one chunk per read. The receiver reads
// the socket and carries out actions: those of the quick rules on every chunk (ChunkRules),
// then those of the station-report pass for the reports in it.
class ServerReceiver final : public QObject, private ActionTarget {
    Q_OBJECT
public:
    // A chunk is at most this long; the rest waits in the socket for the next pass.
    static constexpr qint64 kMaxChunk = 16 * 1024;

    struct Context {
        QTcpSocket& socket; // the station server link
        ServerLine& server;
        LinkState& link;
        StationPicture& picture;
        ControlStore& store;
        const Login& login; // the station's login questions are answered with it
        MonitorBoxes& monitors;
        std::function<void(const QString&)> writeLogger; // on the radio port, when it may
        LogFile& log;
        const Clock& clock;
        Dialogs& dialogs;
        ChatLines& chat;
        std::function<void()> linkLost;      // the socket is gone while data arrives
        std::function<void()> loginAccepted; // "Login OK"
        std::function<void(qint64)> bytesRead = [](qint64) {}; // the station has been heard
    };

    explicit ServerReceiver(Context context, QObject* parent = nullptr);

    // The socket's data-arrival event.
    void onDataArrived();
    // One station-report pass over the chunk (the chunk is emptied by a normal pass).
    void receiveChunk(QString& chunk);

  private:
    void handleChunk(QString& chunk);
    void dispatch(QString& chunk);
    bool perform(const BridgeActions& actions) { return performActions(actions, *this); }
    // What the quick rules and the report pass ask for.
    void writeLogger(const QString& text) override;
    void sendToServer(const QString& line) override;
    void sendLogin(const QString& line) override;
    void loginAccepted() override { ctx_.loginAccepted(); }
    void copyFromServer(const QString& chunk) override;
    void copySent(const QString& text) override;
    void clearGuardNotice() override;
    void showGuardLight(bool on) override;
    void logWithTime(const QString& text) override;
    void appendChat(const QString& line) override;
    void fail(const QString& message) override;
    QString timeAndDate() const;

    Context ctx_;
};
