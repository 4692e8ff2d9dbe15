// The file window without its window: which files it lists and sends, and how a file goes
// out through the terminal's modem with the remote transmitter keyed around it.
#include "digital/terminal/DirectoryBrowser.h"
#include "support/TerminalRig.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class FileSenderTest : public QObject {
    Q_OBJECT
  private slots:
    void nameRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("lower case") << "notes.txt" << true;
        QTest::newRow("upper case") << "notes.TXT" << true;
        QTest::newRow("mixed case") << "notes.Txt" << false;
        QTest::newRow("in the middle") << "txtlog.dat" << true;
        QTest::newRow("no file chosen") << "" << false;
    }
    void nameRule() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(FileSender::acceptsName(name), accepted);
    }

    void refusedName_saysSo_andClosesWithoutKeying() {
        TerminalRig rig;
        Terminal& t = rig.open();
        QSignalSpy closed(&t.fileSender(), &FileSender::closeRequested);
        t.fileSender().SendTextFile(rig.folder.path(), "notes.Txt", FileSender::Trigger::GoF2);
        QCOMPARE(rig.dialogs.messages,
                 QStringList{"Can only retrieve files with an extent of '.txt'"});
        QCOMPARE(closed.count(), 1);
        QVERIFY(rig.sent.isEmpty());
    }

    void file_goesOutLineByLine_withBlankLinesAsSpaces_data() {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<QString>("blank");
        QTest::newRow("double-click") << int(FileSender::Trigger::DoubleClick) << "    ";
        QTest::newRow("Go F2") << int(FileSender::Trigger::GoF2) << "   ";
    }
    void file_goesOutLineByLine_withBlankLinesAsSpaces() {
        QFETCH(int, trigger);
        QFETCH(QString, blank);
        TerminalRig rig;
        Terminal& t = rig.open();
        writeFile(rig.path("qso.txt"), "CQ TEST\r\n\r\nDE OH2XX\n");
        QSignalSpy hidden(&t.fileSender(), &FileSender::hideRequested);
        QSignalSpy closed(&t.fileSender(), &FileSender::closeRequested);
        t.fileSender().SendTextFile(rig.folder.path(), "qso.txt", FileSender::Trigger(trigger));
        QCOMPARE(rig.sent, (QStringList{"A0:MX1;", "A0:MX0;"}));
        QCOMPARE(heardFrom(rig.sound.played), "CQ TEST\r" + blank + "\rDE OH2XX\r");
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!t.modem().Transmit());
    }

    void txOff_stopsBeforeTheNextLine_andTheEndSequenceStillRuns() {
        TerminalRig rig;
        Terminal& t = rig.open();
        writeFile(rig.path("long.txt"), "FIRST\nSECOND\nTHIRD\n");
        QTimer::singleShot(0, &t, [&t] { t.transmit().txOffClicked(); });
        t.fileSender().SendTextFile(rig.folder.path(), "long.txt", FileSender::Trigger::GoF2);
        QCOMPARE(rig.sent, (QStringList{"A0:MX1;", "A0:MX0;", "A0:MX0;"}));
        QVERIFY(!heardFrom(rig.sound.played).contains(QStringLiteral("SECOND")));
        QVERIFY(!t.context().txOffPressed);
    }

    void failure_afterTheStart_keysUpBeforeTheMessage() {
        TerminalRig rig;
        Terminal& t = rig.open();
        // Reading the process's own memory from its start fails once the file is open.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), rig.path("broken.txt")));
        QStringList sentWhenTold;
        connect(&t.fileSender(), &FileSender::closeRequested, this,
                [&] { sentWhenTold = rig.sent; });
        t.fileSender().SendTextFile(rig.folder.path(), "broken.txt",
                                    FileSender::Trigger::DoubleClick);
        QCOMPARE(rig.sent, (QStringList{"A0:MX1;", "A0:MX0;"}));
        QCOMPARE(sentWhenTold.last(), QStringLiteral("A0:MX0;")); // keyed up before the window goes
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages[0].startsWith(QStringLiteral("Error 23 ")));
        QVERIFY(rig.dialogs.messages[0].endsWith(
            QStringLiteral(". If the error is Permission Denied you might try closing Vantor and "
                           "starting over.")));
        QVERIFY(!t.modem().Transmit());
    }

    void browser_listsTextFilesWithoutRegardToCase_andEveryFileForAStar() {
        QTemporaryDir dir;
        for (const char* name : {"a.txt", "B.TXT", "c.Txt", "d.dat"})
            writeFile(dir.filePath(name), "x");
        QVERIFY(QDir(dir.path()).mkdir("logs"));
        DirectoryBrowser browser(dir.path());
        QCOMPARE(browser.files(), (QStringList{"a.txt", "B.TXT", "c.Txt"}));
        QCOMPARE(browser.subFolders(), (QStringList{"..", "logs"}));
        browser.setPattern("*");
        QCOMPARE(browser.files().size(), 4);
        QVERIFY(browser.setFolder("logs"));
        QVERIFY(browser.files().isEmpty());
        QVERIFY(!browser.setFolder("no such folder"));
        QCOMPARE(browser.folder(), QDir(dir.filePath("logs")).absolutePath());
        const QStringList drives = DirectoryBrowser::drives();
        QVERIFY(drives.contains("/"));
        QCOMPARE(DirectoryBrowser::driveOf("/home/op", {"/", "/home"}), QStringLiteral("/home"));
        QCOMPARE(FileSender::joinPath("/home/op", "a.txt"), QStringLiteral("/home/op/a.txt"));
        QCOMPARE(FileSender::joinPath("/", "a.txt"), QStringLiteral("/a.txt"));
    }
};

QTEST_MAIN(FileSenderTest)
#include "tst_FileSender.moc"
