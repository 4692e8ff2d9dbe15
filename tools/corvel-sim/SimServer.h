#pragma once

#include "SimRig.h"

#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// The simulated Corvel station server: takes clients on TCP, logs them in, applies their rig
// commands to the rig and reports every change to all clients, as the real server does.
class SimServer final : public QObject {
    Q_OBJECT
public:
    struct Client {
        QTcpSocket* socket = nullptr;
        int number = 0;
        QByteArray pending; // received, not yet a whole line
        QString callsign;
        bool loggedIn = false;
        QString keyerText; // CW characters since the last word gap
    };

    explicit SimServer(QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    void addUser(const QString& callsign, const QString& password);
    bool openLog(const QString& path);

    // What scripts and the demo do.
    void sendToAll(const QString& text);
    void reportToAll(const QStringList& reports);
    SimRig& rig() { return rig_; }
    void splitNextReport() { splitNext_ = true; }
    void setSilent(bool silent) { silent_ = silent; }
    // A dead path that does not close: nothing is answered or applied, nothing is sent, and
    // the connections stay open (what the client hears is only its own TCP).
    void setHung(bool hung) { hung_ = hung; }
    void drop(int number);      // 0: every client
    void halfClose(int number); // 0: every client
    void flood(int bytes);
    int clientCount() const { return clients_.size(); }

    static constexpr int kMaxLine = 4096; // a longer line from a client is cut off

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void handleLine(Client& client, const QString& line);
    void handleLogin(Client& client, const QString& line);
    void handleKeyer(Client& client, const QString& line);
    void write(Client& client, const QString& text);
    void log(const Client& client, const QString& line);
    QList<Client*> chosen(int number);

    QTcpServer server_;
    QMap<int, Client> clients_;
    QHash<QTcpSocket*, int> numbers_;
    QHash<QString, QString> users_;
    SimRig rig_;
    QFile log_;
    int nextNumber_ = 1;
    bool splitNext_ = false;
    bool silent_ = false;
    bool hung_ = false;
};
