#include "chat/ChatControls.h"
#include "support/CoreBench.h"
#include "support/StationEnd.h"

#include <QTcpServer>
#include <QTest>

namespace {

// A client station whose waits run on a moving daytime clock.
struct ClientBench : CoreBench {
    ClientBench() {
        clock.set(50000.0);
        clock.setStepPerReading(0.05);
        c().setText(Ctl::RemoteIP, "127.0.0.1");
        c().setText(Ctl::Callsign, "OH2XX");
    }
};

} // namespace

class ChatClientTest : public QObject {
    Q_OBJECT
private slots:
    void load_connectsAndLogsIn() {
        ClientBench b;
        QTcpServer chat;
        QVERIFY(chat.listen(QHostAddress::LocalHost, 0));
        b.c().setText(Ctl::ChatPort, QString::number(chat.serverPort()));
        b.core->chatPanel().load();
        QVERIFY(b.core->chatClient().isConnected());
        QVERIFY(b.c().isVisible(Ctl::Shape5));
        QTRY_VERIFY(chat.hasPendingConnections());
        QTcpSocket* station = chat.nextPendingConnection();
        QTRY_VERIFY(station->bytesAvailable() > 0);
        QVERIFY(station->readAll().startsWith("Login:OH2XX "));

        b.c().setText(Ctl::Text2, "x"); // main window's Text2 is the note; the chat has its own
        b.core->chatControls().setText(ChatCtl::Text2, "hello");
        b.core->chatControls().setValue(ChatCtl::ClearAS, 1);
        b.core->chatPanel().send();
        QTRY_VERIFY(station->bytesAvailable() > 0);
        QCOMPARE(station->readAll(), QByteArray("OH2XX:hello\r\n"));
        QVERIFY(b.core->chatControls().text(ChatCtl::Text2).isEmpty());

        station->write("OH1AB:hi back\r\n");
        QTRY_COMPARE(b.core->chatControls().text(ChatCtl::Text1), QString("OH1AB:hi back\r\n"));
    }

    void noChatPort_noAttempt() {
        ClientBench b;
        b.core->chatPanel().load();
        QVERIFY(b.dialogs.messages.isEmpty());
        QCOMPARE(b.core->chatClient().socket().state(), QAbstractSocket::UnconnectedState);
    }

    void refused_saysSo() {
        ClientBench b;
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        b.c().setText(Ctl::ChatPort, QString::number(probe.serverPort()));
        probe.close();
        b.core->chatClient().ConnectChat();
        QCOMPARE(b.dialogs.messages.size(), 1);
        QVERIFY(b.dialogs.messages.first().endsWith(" Could not connect to chat"));
        QVERIFY(!b.c().isVisible(Ctl::Shape5));
    }

    void chatFrmIni_roundTrip_andMissingFile() {
        ClientBench b;
        b.core->chatPanel().load(); // no file: both unticked
        QCOMPARE(b.core->chatControls().value(ChatCtl::ClearAS), 0);
        b.core->chatControls().setValue(ChatCtl::ClearAS, 1);
        b.core->chatControls().setValue(ChatCtl::EnterKey, 1);
        b.core->chatPanel().unload();
        QFile ini("ChatFrm.ini");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray(" 1\r\n 1\r\n"));
        b.core->chatControls().setValue(ChatCtl::ClearAS, 0);
        b.core->chatPanel().load();
        QCOMPARE(b.core->chatControls().value(ChatCtl::ClearAS), 1);
        QVERIFY(!b.core->chatControls().isVisible(ChatCtl::Command6)); // "Del Log": server only
    }

    void stationChatLine_showsInTheOpenWindow_only() {
        ClientBench b;
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        station.send("A0:MSGcq from the station;");
        QTest::qWait(30);
        QVERIFY(b.core->chatControls().text(ChatCtl::Text1).isEmpty()); // window not shown
        b.core->chatPanel().show();
        station.send("A0:MSGcq from the station;FA00014074000;");
        QTRY_VERIFY(b.core->chatControls().text(ChatCtl::Text1).contains("cq from the station"));
        const QString shown = b.core->chatControls().text(ChatCtl::Text1);
        QVERIFY2(!shown.contains("Gcq") && !shown.contains("FA000"), qPrintable(shown));
    }
};

QTEST_GUILESS_MAIN(ChatClientTest)
#include "tst_ChatClient.moc"
