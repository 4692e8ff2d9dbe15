#include "platform/serial/DeviceBackend.h"
#include "platform/serial/PtyBackend.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray allByteValues() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

} // namespace

class PtyBackendTest : public QObject {
    Q_OBJECT
private slots:
    void create_publishesLinkInPrivateFolder() {
        QTemporaryDir base;
        const QString folder = base.filePath("ports");
        {
            PtyBackend pair(folder, "radio");
            QVERIFY2(pair.create(), qPrintable(pair.errorString()));
            const QFileInfo link(pair.linkPath());
            QVERIFY(link.isSymLink());
            QCOMPARE(link.symLinkTarget(), pair.peerDevice());
            QVERIFY(pair.peerDevice().startsWith("/dev/pts/"));
            struct stat info {};
            ::stat(QFile::encodeName(folder).constData(), &info);
            QCOMPARE(info.st_mode & 0777, 0700u);
            QVERIFY(!pair.peerPresent());
        }
        QVERIFY(!QFileInfo(folder + "/radio").isSymLink()); // removed when the program ends
    }

    void folderOthersMayWriteOrOwn_isRefusedWithTheReason_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("owner"); // -1: the user's own
        QTest::addColumn<QString>("reason");
        QTest::newRow("writable by all") << 0777 << -1 << "Others can write into the port folder";
        QTest::newRow("writable by the group") << 0770 << -1 << "(mode 770)";
        QTest::newRow("another user's") << 0700 << 65534 << "belongs to another user";
    }
    void folderOthersMayWriteOrOwn_isRefusedWithTheReason() {
        QFETCH(int, mode);
        QFETCH(int, owner);
        QFETCH(QString, reason);
        if (owner >= 0 && ::getuid() != 0)
            QSKIP("giving a folder to another user needs root");
        QTemporaryDir base;
        const QString folder = base.filePath("shared");
        QVERIFY(QDir().mkdir(folder));
        const QByteArray native = QFile::encodeName(folder);
        QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
        if (owner >= 0)
            QCOMPARE(::chown(native.constData(), uid_t(owner), gid_t(-1)), 0);
        PtyBackend pair(folder, "radio");
        QVERIFY(!pair.create());
        QVERIFY2(pair.errorString().contains(folder) && pair.errorString().contains(reason),
                 qPrintable(pair.errorString()));
        QVERIFY(!QFileInfo(folder + "/radio").isSymLink());
    }

    void secondInstance_cannotTakeTheSameLink() {
        QTemporaryDir base;
        PtyBackend first(base.path(), "radio");
        QVERIFY(first.create());
        PtyBackend second(base.path(), "radio");
        QVERIFY(!second.open(19200));
        QVERIFY(second.errorString().contains("another running ZarnikControl"));
        QCOMPARE(QFileInfo(first.linkPath()).symLinkTarget(), first.peerDevice());
    }

    // A logger that opens its port as a serial device (as QSerialPort and Hamlib do): the lines
    // follow it, what was written before it came is not heard, every byte value goes both ways
    // unchanged, and a logger that comes back finds the same cable.
    void logger_opensTalksAndCloses() {
        QTemporaryDir base;
        PtyBackend pair(base.path(), "radio");
        QVERIFY(pair.open(19200));
        QSignalSpy changes(&pair, &SerialBackend::linesChanged);
        QCOMPARE(pair.lines(), ModemLines{});
        QCOMPARE(pair.write("\x17\x80"), 2); // the cable takes it; nobody hears it
        QByteArray atRadio, atLogger;
        DeviceBackend logger(pair.linkPath());
        connect(&logger, &SerialBackend::dataArrived, this, [&](const QByteArray& b) { atLogger += b; });
        connect(&pair, &SerialBackend::dataArrived, this, [&](const QByteArray& b) { atRadio += b; });
        QVERIFY2(logger.open(19200), qPrintable(logger.errorString()));
        pair.refreshPeer();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(pair.lines(), (ModemLines{true, true, true, false}));

        logger.write(allByteValues());
        QTRY_COMPARE(atRadio, allByteValues());
        QCOMPARE(pair.write(allByteValues()), 256);
        QTRY_COMPARE(atLogger, allByteValues());
        QCOMPARE(pair.bytesToWrite(), 0);

        logger.close();
        pair.refreshPeer();
        QCOMPARE(changes.count(), 2);
        QCOMPARE(pair.lines(), ModemLines{});
        QVERIFY(logger.open(19200));
        pair.refreshPeer();
        QCOMPARE(changes.count(), 3);
        QVERIFY(pair.peerPresent());
    }

    void ourEndClosed_dropsWhatTheLoggerSends() {
        QTemporaryDir base;
        PtyBackend pair(base.path(), "radio");
        QVERIFY(pair.open(19200));
        pair.close();
        // The cable stays for a logger that opens early.
        const int logger = ::open(QFile::encodeName(pair.linkPath()).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(logger >= 0);
        pair.refreshPeer();
        QSignalSpy data(&pair, &SerialBackend::dataArrived);
        QCOMPARE(::write(logger, "FA;", 3), 3);
        QCOMPARE(pair.write("FA;"), 0);
        QVERIFY(pair.open(19200));
        QCOMPARE(::write(logger, "IF;", 3), 3);
        QTRY_COMPARE(data.count(), 1);
        QCOMPARE(data.first().first().toByteArray(), QByteArray("IF;"));
        ::close(logger);
    }
};

QTEST_GUILESS_MAIN(PtyBackendTest)
#include "tst_PtyBackend.moc"
