// The chat server and client on real sockets on 127.0.0.1.
#include "chat/ChatControls.h"
#include "chat/ChatServer.h"
#include "support/CoreBench.h"
#include "support/Sockets.h"

#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <QTcpServer>

namespace {

// A chat server on a free port and stations connected to it over 127.0.0.1.
struct ChatBench : CoreBench {
    ChatBench() {
        c().setValue(Ctl::chatServerCheck, 1);
        c().setText(Ctl::chatPortBox, "0"); // a free port
        core->startUp();
        listening = core->chatServer().startListening();
    }
    // A station connected (and logged in, unless told not to).
    QTcpSocket& station(bool logIn = true) {
        auto socket = connectedClient(core->chatServer().port());
        const int before = core->chatServer().chatClientCount();
        for (int i = 0; i < 400 && core->chatServer().chatClientCount() == before; ++i)
            QTest::qWait(5); // until the server has taken the station in
        if (!logIn) {
            stations.push_back(std::move(socket));
            return *stations.back();
        }
        // It logs in; the others hear the login, and the display shows it: both taken away.
        const QByteArray login = "Login:ST" + QByteArray::number(before + 1);
        say(*socket, login);
        for (int i = 0; i < 400 && !display().contains(login); ++i)
            QTest::qWait(5);
        for (auto& other : stations) {
            QByteArray heard;
            for (int i = 0; i < 400 && !(heard += other->readAll()).contains(login); ++i)
                QTest::qWait(5);
        }
        core->chatControls().setText(ChatCtl::displayBox, QString());
        stations.push_back(std::move(socket));
        return *stations.back();
    }
    static void say(QTcpSocket& s, const QByteArray& text) {
        s.write(text);
        s.flush();
    }
    // What a station received until now (after letting the server work).
    static QByteArray heard(QTcpSocket& s) {
        QTest::qWait(30);
        if (s.bytesAvailable() == 0) // a busy machine may take longer
            QTest::qWait(200);
        return s.readAll();
    }
    QString display() { return core->chatControls().text(ChatCtl::displayBox); }
    // `count` more connections begun at once, without waiting for them.
    void connectMore(std::vector<std::unique_ptr<QTcpSocket>>& sockets, int count) {
        for (int i = 0; i < count; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress::LocalHost, core->chatServer().port());
        }
    }

    bool listening = false;
    std::vector<std::unique_ptr<QTcpSocket>> stations;
};

// A client station whose waits run on a moving daytime clock.
struct ClientBench : CoreBench {
    ClientBench() {
        runClock(0.05);
        c().setText(Ctl::serverAddressBox, "127.0.0.1");
        c().setText(Ctl::loginCallsignBox, "OH2XX");
    }
};

} // namespace

class ChatTest : public QObject {
    Q_OBJECT
  private slots:
    // What a station's chunk becomes: what the sender and the two others hear, and what the
    // server's display shows.
    void relay_data() {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QByteArray>("senderHears");
        QTest::addColumn<QByteArray>("othersHear");
        QTest::addColumn<QString>("display");
        QTest::newRow("a line: the others and the display") << QByteArray("OH2XX:hello all\r\n") << QByteArray()
                                                            << QByteArray("OH2XX:hello all\r\n")
                                                            << "OH2XX:hello all\r\n";
        QTest::newRow("a database update: relayed, not shown") << QByteArray("//DBUPDATE:row") << QByteArray()
                                                               << QByteArray("//DBUPDATE:row") << "";
        QTest::newRow("stop: everyone, the sender too, and the chunk itself to the others")
            << QByteArray("//STOP:now") << QByteArray("//STOP:;") << QByteArray("//STOP:now") << "//STOP:now";
    }
    void relay() {
        QFETCH(QByteArray, chunk);
        QFETCH(QByteArray, senderHears);
        QFETCH(QByteArray, othersHear);
        QFETCH(QString, display);
        ChatBench b;
        QVERIFY(b.listening);
        QTcpSocket& one = b.station();
        QTcpSocket& two = b.station();
        QTcpSocket& three = b.station();
        QVERIFY(b.c().isVisible(Ctl::chatLight));
        b.say(two, chunk);
        const QByteArray sender = b.heard(two);
        QVERIFY2(senderHears.isEmpty() ? sender.isEmpty() : sender.contains(senderHears), sender.constData());
        for (QTcpSocket* other : {&one, &three})
            QVERIFY(b.heard(*other).contains(othersHear));
        QCOMPARE(b.display(), display);
    }

    // "//UPDATE:" goes to exactly one other logged-in station, drawn among those connected:
    // after hundreds of connections have come and gone it still arrives every time, and never
    // at a connection that has not logged in.
    void update_goesToExactlyOneOtherLoggedInStation_evenAfterChurn() {
        ChatBench b;
        QTcpSocket& one = b.station();
        QTcpSocket& two = b.station();
        QTcpSocket& three = b.station();
        for (int round = 0; round < 5; ++round) {
            b.say(two, "//UPDATE:x");
            const int reached = !b.heard(one).isEmpty() + !b.heard(three).isEmpty();
            QCOMPARE(reached, 1);
            QVERIFY(b.heard(two).isEmpty());
        }
        three.abort();
        std::vector<std::unique_ptr<QTcpSocket>> passing;
        b.connectMore(passing, 300);
        QTRY_VERIFY_WITH_TIMEOUT(b.core->chatServer().chatClientCount() > 300, 10000);
        for (auto& socket : passing)
            socket->abort();
        QTRY_COMPARE_WITH_TIMEOUT(b.core->chatServer().openConnections(), 2, 10000);
        QTcpSocket& silent = b.station(false); // connected, never logged in
        for (int round = 0; round < 10; ++round) {
            b.say(two, "//UPDATE:y");
            QCOMPARE(b.heard(one), QByteArray("//UPDATE:y"));
        }
        QVERIFY(b.heard(silent).isEmpty());
    }

    void logRequest_returnsTheTail() {
        ChatBench b;
        QTcpSocket& one = b.station();
        b.core->log().close();
        QByteArray text;
        for (int i = 0; i < 1000; ++i)
            text += char('a' + i % 26);
        // one line of 1000 characters: joined, it ends in CR LF
        QVERIFY(writeFile(b.folder.filePath("ZarnikControl.log"), text));
        b.core->log().open();
        b.say(one, "A0:LOG;");
        // the joined text is 1002 long: from position 602, 400 characters
        const QByteArray expected = (text + "\r\n").mid(601, 400) + ";\r\n";
        QCOMPARE(b.heard(one), expected);
    }

    void deleteLog_showsTheTailAndEmptiesTheLog() {
        ChatBench b;
        b.core->log().writeLine("RIG ON at 12:00");
        b.core->chatPanel().deleteLog();
        QVERIFY(b.display().contains("RIG ON at 12:00"));
        QCOMPARE(QFileInfo(b.folder.filePath("ZarnikControl.log")).size(), 0);
        b.core->log().writeLine("after");
        QVERIFY(b.logText().startsWith("after"));
    }

    void login_isLoggedOncePerConnection_andCutShort() {
        ChatBench b;
        QTcpSocket& one = b.station(false);
        b.say(one, "Login:OH2XX 12:00 06/12/2026\r\nforged line");
        QTRY_VERIFY(b.logText().contains("Login:OH2XX 12:00 06/12/2026\r\n"));
        b.say(one, "Login:" + QByteArray(50000, 'A')); // again, and long
        QTest::qWait(50);
        b.say(one, "Login:AGAIN");
        QTest::qWait(50);
        const QString log = b.logText();
        QCOMPARE(log.count("Login:"), 1);
        QVERIFY(!log.contains("forged line"));
        QTcpSocket& two = b.station(false);
        b.say(two, "Login:K1ABC" + QByteArray(500, 'B'));
        QTRY_COMPARE(b.logText().count("Login:"), 2);
        QVERIFY(b.logText().contains("Login:K1ABC" + QString(ChatServer::kMaxLoginLine - 11, u'B') + "\r\n"));
    }

    void sixHundredStations_fiveHundredAreIn_andOthersGetInWhenSomeLeave() {
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files); // both ends of 600 connections live in this process
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
        ::setrlimit(RLIMIT_NOFILE, &files);
        if (files.rlim_cur < 1400)
            QSKIP("this machine allows too few open files for 600 connections in one process");
        ChatBench b;
        std::vector<std::unique_ptr<QTcpSocket>> stations;
        b.connectMore(stations, 600);
        QTRY_COMPARE_WITH_TIMEOUT(b.core->chatServer().openConnections(), 500, 60000);
        QTest::qWait(200);
        QCOMPARE(b.core->chatServer().openConnections(), 500);
        QCOMPARE(b.display().count("Chat server full"), 1);
        for (int i = 0; i < 50; ++i)
            stations[size_t(i)]->disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(b.core->chatServer().openConnections(), 450, 10000);
        b.connectMore(stations, 50);
        QTRY_COMPARE_WITH_TIMEOUT(b.core->chatServer().openConnections(), 500, 10000);
    }

    // Thousands of connections come and go; one comes while the process has no descriptor left
    // (the system refuses to take it in, and Qt stops listening): once descriptors are free the
    // server listens again, and a line from an old station reaches the newcomer.
    void churnAndNoDescriptorsLeft_theServerListensAgain() {
        ChatBench b;
        QTcpSocket& one = b.station();
        for (int batch = 0; batch < 10; ++batch) {
            std::vector<std::unique_ptr<QTcpSocket>> passing;
            b.connectMore(passing, 300);
            QTest::qWait(20);
            for (size_t i = 0; i < passing.size(); ++i) // some close politely, some reset
                i % 2 ? passing[i]->disconnectFromHost() : passing[i]->abort();
        }
        QTRY_COMPARE_WITH_TIMEOUT(b.core->chatServer().openConnections(), 1, 20000);
        QTcpSocket newcomer;
        std::vector<int> hogs;
        newcomer.connectToHost(QHostAddress::LocalHost, b.core->chatServer().port());
        QVERIFY(newcomer.waitForConnected(2000)); // in the system's queue, not yet taken in
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files);
        const rlimit saved = files;
        files.rlim_cur = std::min<rlim_t>(files.rlim_cur, 4096); // a machine may allow millions
        ::setrlimit(RLIMIT_NOFILE, &files);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;)
            hogs.push_back(fd);
        QTest::qWait(50); // the server tries to take it in and cannot
        for (int fd : hogs)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &saved);
        b.core->chatServer().cleanUpSlots();
        QTRY_COMPARE_WITH_TIMEOUT(b.core->chatServer().openConnections(), 2, 5000);
        b.say(one, "OH2XX:still here\r\n");
        QVERIFY(readUntil(newcomer, "OH2XX:still here\r\n").contains("OH2XX:still here\r\n"));
    }

    // A connection that has not logged in is heard by no one, and is closed after 30 s; one
    // whose line runs past 64 KiB is closed; the other stations' lines go on being served.
    void beforeLogin_nothingRelayed_closedAfter30s_andALineWithoutEndIsClosed() {
        ChatBench b;
        QTcpSocket& one = b.station();
        QTcpSocket& two = b.station();
        QTcpSocket idle;
        idle.connectToHost(QHostAddress::LocalHost, b.core->chatServer().port());
        QVERIFY(idle.waitForConnected(2000));
        for (const char* piece : {"j", "u", "n", "k", " LOG", "in:"}) // slowly, never a login
            b.say(idle, piece);
        QVERIFY(b.heard(one).isEmpty());
        QVERIFY(b.display().isEmpty());
        b.clock.advance(29.0);
        b.core->chatServer().cleanUpSlots();
        QCOMPARE(idle.state(), QAbstractSocket::ConnectedState);
        b.clock.advance(2.0);
        b.core->chatServer().cleanUpSlots();
        QTRY_COMPARE(idle.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(b.display().contains("no login within 30 s"));

        QTcpSocket& endless = b.station();
        const QByteArray run(16 * 1024, 'x');
        for (int i = 0; i < 8; ++i)
            endless.write(run);
        endless.flush();
        QTRY_COMPARE(endless.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(b.display().contains("a line longer than 64 KiB"));
        b.say(one, "OH2XX:after the flood\r\n");
        const QByteArray got = readUntil(two, "OH2XX:after the flood\r\n");
        QVERIFY(got.contains("OH2XX:after the flood\r\n"));
        QVERIFY(got.size() < 80 * 1024); // no more than the bound of the endless line reached it
    }

    void allowList_letsInOnlyTheListed() {
        ChatBench b;
        const QString allow = b.folder.filePath("ChatAllow.txt");
        QVERIFY(writeFile(allow, "# our club\n10.0.0.0/8\n"));
        QVERIFY(b.core->chatServer().startListening());
        QTcpSocket stranger;
        stranger.connectToHost(QHostAddress::LocalHost, b.core->chatServer().port());
        QTRY_VERIFY2(b.display().contains("Chat connection from 127.0.0.1 refused: not in ChatAllow.txt"), qPrintable(b.display()));
        QCOMPARE(b.core->chatServer().openConnections(), 0);

        QVERIFY(writeFile(allow, "127.0.0.1   # this computer\n", QIODevice::Append));
        QVERIFY(b.core->chatServer().startListening());
        b.station();
        QCOMPARE(b.core->chatServer().openConnections(), 1);
    }

    void floodingStation_staysBoundedAndOthersAreServed() {
        ChatBench b;
        QTcpSocket& flood = b.station();
        QTcpSocket& quiet = b.station();
        QTcpSocket& reader = b.station();
        QTcpSocket& slow = b.station();
        slow.setReadBufferSize(1); // a station that hardly reads
        const QByteArray junk(64 * 1024, 'z');
        for (int i = 0; i < 64; ++i)
            flood.write(junk);
        flood.flush();
        b.say(quiet, "OH2XX:still here\r\n");
        QVERIFY(readUntil(reader, "OH2XX:still here", 20000).contains("OH2XX:still here"));
        QVERIFY(b.display().size() <= 32000);
    }

    void load_connectsAndLogsIn() {
        ClientBench b;
        QTcpServer chat;
        QVERIFY(chat.listen(QHostAddress::LocalHost, 0));
        b.c().setText(Ctl::chatPortBox, QString::number(chat.serverPort()));
        b.core->chatPanel().load();
        QVERIFY(b.finishConnecting(b.core->chatClient().connectAttempt()));
        QVERIFY(b.core->chatClient().isConnected());
        QVERIFY(b.c().isVisible(Ctl::chatLight));
        QTRY_VERIFY(chat.hasPendingConnections());
        QTcpSocket* station = chat.nextPendingConnection();
        QTRY_VERIFY(station->bytesAvailable() > 0);
        QVERIFY(station->readAll().startsWith("Login:OH2XX "));

        b.c().setText(Ctl::startupNote,
                      "x"); // main window's Text2 is the note; the chat has its own
        b.core->chatControls().setText(ChatCtl::entryBox, "hello");
        b.core->chatControls().setValue(ChatCtl::clearAfterSendCheck, 1);
        b.core->chatPanel().send();
        QTRY_VERIFY(station->bytesAvailable() > 0);
        QCOMPARE(station->readAll(), QByteArray("OH2XX:hello\r\n"));
        QVERIFY(b.core->chatControls().text(ChatCtl::entryBox).isEmpty());

        station->write("OH1AB:hi back\r\n");
        QTRY_COMPARE(b.core->chatControls().text(ChatCtl::displayBox),
                     QString("OH1AB:hi back\r\n"));
    }

    void chatFrmIni_roundTrip_missingFile_andAFullDisk() {
        ClientBench b;
        b.core->chatPanel().load(); // no file: both unticked
        QCOMPARE(b.core->chatControls().value(ChatCtl::clearAfterSendCheck), 0);
        b.core->chatControls().setValue(ChatCtl::clearAfterSendCheck, 1);
        b.core->chatControls().setValue(ChatCtl::sendOnEnterCheck, 1);
        b.core->chatPanel().unload();
        QCOMPARE(readFile("ChatFrm.ini"), QByteArray(" 1\r\n 1\r\n"));
        b.core->chatControls().setValue(ChatCtl::clearAfterSendCheck, 0);
        b.core->chatPanel().load();
        QCOMPARE(b.core->chatControls().value(ChatCtl::clearAfterSendCheck), 1);
        QVERIFY(
            !b.core->chatControls().isVisible(ChatCtl::deleteLogButton)); // "Del Log": server only
        b.core->chatControls().setValue(ChatCtl::clearAfterSendCheck, 0);
        {
            FullDisk full; // the file stays as it was, not emptied
            b.core->chatPanel().unload();
        }
        QCOMPARE(readFile("ChatFrm.ini"), QByteArray(" 1\r\n 1\r\n"));
    }

};

QTEST_GUILESS_MAIN(ChatTest)
#include "tst_Chat.moc"
