// The terminal window as the operator meets it: keys in the transmit box, received text,
// names a screen reader speaks, the directory window.
#include "digital/windows/DirectoryWindow.h"
#include "digital/windows/TerminalWindow.h"
#include "support/Accessibility.h"
#include "support/TerminalRig.h"

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace TermCtl;

namespace {
struct WindowRig {
    WindowRig() {
        rig.clock.setStepPerReading(0.01);
        window = new TerminalWindow(platform());
        window->show();
        window->terminal().activated();
    }
    ~WindowRig() { delete window; }
    TerminalPlatform platform() {
        return {rig.clock, rig.dialogs, rig.wait, rig.ports, rig.sound, {"Card A"}, {"Card A"}, "Card A",
                "Card A", [this](const QString& line) { rig.sent << line; }, rig.folder.path()};
    }
    template <typename T> T* find(const QString& name) { return window->findChild<T*>(name); }
    TerminalRig rig;
    QPointer<TerminalWindow> window;
};
} // namespace

class TerminalWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void transmitBox_onlyTypingKeysTheStation() {
        WindowRig w;
        auto* tx = w.find<QPlainTextEdit>(TxWindow);
        tx->setFocus();
        for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Left, Qt::Key_F5})
            QTest::keyClick(tx, key);
        QTest::keyClick(tx, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(w.rig.sent.isEmpty());
        QTest::keyClicks(tx, "cq de");
        QCOMPARE(w.rig.sent.count("A0:MX1;"), 5);
        QCOMPARE(w.window->terminal().transmit().boxText(), QStringLiteral("cq de"));
        QTest::keyClick(tx, Qt::Key_Backspace);
        QCOMPARE(w.rig.sent.count("A0:MX1;"), 6);
        w.rig.sent.clear();
        QTest::keyClick(tx, Qt::Key_Return);
        QCOMPARE(w.rig.sent, (QStringList{"A0:MX0;", "A0:MX0;"}));
        QVERIFY(!tx->toPlainText().contains(u'\n')); // Enter ends the transmission, not the line
    }

    void receivedText_reachesTheBox_andBackspaceTakesALineBreakWhole() {
        WindowRig w;
        ReceiveText& rx = w.window->terminal().receive();
        for (QChar c : QStringLiteral("CQ\r\nDE OH2XX\r\x08"))
            rx.charReceived(0, c);
        auto* box = w.find<QPlainTextEdit>(at(RxWindow, 0));
        QCOMPARE(box->toPlainText(), QStringLiteral("CQ\nDE OH2XX"));
        QCOMPARE(box->accessibleName(), QStringLiteral("Received text"));
        // A screen reader reads the box's text through its text interface.
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(box)->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("CQ\nDE OH2XX"));
    }

    void everyControlHasANameAScreenReaderSpeaks() {
        WindowRig w;
        w.window->terminal().dualClicked(); // the second channel's controls too
        const QStringList unnamed = controlsWithoutAName(w.window);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));
        w.window->terminal().sendFile();
        QVERIFY(w.window->directory());
        const QStringList unnamedInDirectory = controlsWithoutAName(w.window->directory());
        QVERIFY2(unnamedInDirectory.isEmpty(), qPrintable(unnamedInDirectory.join(u' ')));
    }

    void functionKey_captionIsTheTitle_andTheMacroIsEditedWithTheRightButton() {
        WindowRig w;
        w.rig.dialogs.textAnswers << QStringLiteral("cq cq de oh2xx");
        auto* key = w.find<QPushButton>(at(Command7, 2));
        emit key->customContextMenuRequested({});
        QCOMPARE(key->text(), QStringLiteral("CQ "));
        QCOMPARE(w.window->terminal().transmit().functionKey(2), QStringLiteral("CQ CQ DE OH2XX"));
        QCOMPARE(w.rig.dialogs.questions.last(),
                 QStringLiteral("Enter Function, First 3 char are title"));
    }

    void lists_choosingAModeOrCarrierTellsTheModem() {
        WindowRig w;
        auto* mode = w.find<QComboBox>(at(CBMode, 0));
        QCOMPARE(mode->count(), w.window->terminal().modem().ModeCount());
        mode->setCurrentIndex(0);
        emit mode->activated(0);
        QCOMPARE(w.window->terminal().modem().modeIndex(0), 0);
        auto* rx = w.find<QComboBox>(CBRX);
        emit rx->activated(3);
        QCOMPARE(w.window->terminal().modem().RxCarrier(0), 2000);
        QCOMPARE(rx->currentText(), QStringLiteral("2000"));
    }

    void directory_listsTheWorkingFolder_andEscapeClosesIt() {
        WindowRig w;
        QDir::setCurrent(w.rig.folder.path());
        QFile file(w.rig.path(QStringLiteral("CQ.TXT")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        w.window->terminal().sendFile();
        QPointer<DirectoryWindow> dir = w.window->directory();
        QVERIFY(dir);
        QCOMPARE(w.window->terminal().fileTarget(), QStringLiteral("MMVARI"));
        QCOMPARE(dir->findChild<QListWidget*>(QStringLiteral("File1"))->count(), 1);
        QTest::keyClick(dir->findChild<QListWidget*>(QStringLiteral("File1")), Qt::Key_Escape);
        QTRY_VERIFY(!dir);
        QVERIFY(w.window->terminal().fileTarget().isEmpty());
    }
};

QTEST_MAIN(TerminalWindowTest)
#include "tst_TerminalWindow.moc"
