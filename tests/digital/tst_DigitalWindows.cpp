// The terminal window as the operator meets it (keys in the transmit box, received text,
// spoken names, the directory window) and the modem's displays.
#include "station/StationLines.h"
#include "digital/windows/DirectoryWindow.h"
#include "digital/windows/TerminalWindow.h"
#include "support/Accessibility.h"
#include "support/TerminalRig.h"
#include "digital/dsp/PskModulator.h"
#include "digital/modem/Modem.h"
#include "digital/windows/XmmvView.h"

#include "digital/windows/SignalBrowserWindow.h"
#include "sim/SyntheticBand.h"
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <QAccessible>
#include <QListWidget>
#include <QSettings>
#include <QSpinBox>
#include <cmath>

using namespace TermCtl;

namespace {
struct WindowRig {
    // With `settings` as its MMVARI.POS, when given.
    explicit WindowRig(const QByteArray& settings = {}) {
        if (!settings.isEmpty())
            writeFile(rig.path("MMVARI.POS"), settings);
        rig.clock.setStepPerReading(0.01);
        window = new TerminalWindow(platform());
        window->show();
        window->terminal().activated();
    }
    ~WindowRig() { delete window; }
    TerminalPlatform platform() {
        return {.clock = rig.clock,
                .dialogs = rig.dialogs,
                .ports = rig.ports,
                .sound = rig.sound,
                .inputDevices = {"Card A"},
                .outputDevices = {"Card A"},
                .defaultInput = "Card A",
                .defaultOutput = "Card A",
                .keyTransmitter =
                    [this](bool on) {
                        rig.sent << StationLines::keying(on);
                        sentAt << rig.clock.monotonicSeconds();
                    },
                .folder = rig.folder.path()};
    }
    template <typename T> T* find(const QString& name) { return window->findChild<T*>(name); }
    TerminalRig rig;
    QList<double> sentAt; // when each line to the station left
    QPointer<TerminalWindow> window;
};

std::vector<float> tone(double hz, int samples, double rate = 48000) {
    std::vector<float> x(static_cast<size_t>(samples), 0.0f);
    for (int n = 0; n < samples; ++n)
        x[size_t(n)] = float(0.5 * std::sin(2 * M_PI * hz * n / rate));
    return x;
}

} // namespace

class DigitalWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void transmitBox_onlyTypingKeysTheStation_andEnterKeysUpTwiceASecondApart() {
        WindowRig w;
        auto* tx = w.find<QPlainTextEdit>(transmitBox);
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
        QVERIFY(w.window->terminal().modem().isTransmitting());
        w.rig.sent.clear();
        w.sentAt.clear();
        QTest::keyClick(tx, Qt::Key_Return); // keys up twice, a second apart
        QVERIFY(finishTimedWork(w.window->terminal()));
        QCOMPARE(w.rig.sent, (QStringList{"A0:MX0;", "A0:MX0;"}));
        QVERIFY(w.sentAt[1] - w.sentAt[0] >= 1.0 && w.sentAt[1] - w.sentAt[0] < 1.1);
        QVERIFY(!w.window->terminal().modem().isTransmitting());
        QVERIFY(!tx->toPlainText().contains(u'\n')); // Enter ends the transmission, not the line
    }

    void receivedText_reachesTheBox_andBackspaceTakesALineBreakWhole() {
        WindowRig w;
        ReceiveText& rx = w.window->terminal().receive();
        for (QChar c : QStringLiteral("CQ\r\nDE OH2XX\r\x08"))
            rx.charReceived(0, c);
        auto* box = w.find<QPlainTextEdit>(at(receiveBox, 0));
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
        // The directory is announced as a dialog, and every menu has its title.
        QCOMPARE(QAccessible::queryAccessibleInterface(w.window->directory())->role(), QAccessible::Dialog);
        QStringList titles;
        for (QAction* menu : w.window->menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{"File", "Sound  RX", "Sound TX", "View", "Help"}));
    }

    // MMVARI.POS asks for a window of 6667 x 6667 twips a side and more: it opens within the screen.
    void hugeGeometryInTheSettingsFile_staysWithinTheScreen() {
        QByteArrayList lines;
        {
            WindowRig first; // writes MMVARI.POS as it closes
            first.window->close();
            lines = readFile(first.rig.path("MMVARI.POS")).split('\n');
        }
        QVERIFY(lines.size() > 40);
        lines[0] = lines[1] = "-50\r"; // top and left: a little off the screen's corner
        lines[2] = lines[3] = "96000\r"; // height and width
        WindowRig huge(lines.join('\n'));
        // (The test's screen is narrower than the terminal's narrowest layout.)
        const QRect room = huge.window->screen()->availableGeometry() |
                           QRect(QPoint(0, 0), huge.window->minimumSizeHint());
        QVERIFY2(room.contains(huge.window->pos()) && huge.window->width() <= room.width() &&
                     huge.window->height() <= room.height(),
                 qPrintable(QString("%1,%2 %3x%4 in %5x%6").arg(huge.window->x()).arg(huge.window->y()).arg(huge.window->width()).arg(huge.window->height()).arg(room.width()).arg(room.height())));
    }

    void functionKey_captionIsTheTitle_andTheMacroIsEditedWithTheRightButton() {
        WindowRig w;
        w.rig.dialogs.textAnswers << QStringLiteral("cq cq de oh2xx");
        auto* key = w.find<QPushButton>(at(functionKey, 2));
        emit key->customContextMenuRequested({});
        QCOMPARE(key->text(), QStringLiteral("CQ "));
        QCOMPARE(w.window->terminal().transmit().functionKey(2), QStringLiteral("CQ CQ DE OH2XX"));
        QCOMPARE(w.rig.dialogs.questions.last(),
                 QStringLiteral("Enter Function, First 3 char are title"));
    }

    void directory_listsTheWorkingFolder_andEscapeClosesIt() {
        WindowRig w;
        QDir::setCurrent(w.rig.folder.path());
        QVERIFY(writeFile(w.rig.path("CQ.TXT"), {}));
        w.window->terminal().sendFile();
        QPointer<DirectoryWindow> dir = w.window->directory();
        QVERIFY(dir);
        QCOMPARE(w.window->terminal().fileTarget(), QStringLiteral("MMVARI"));
        QCOMPARE(dir->findChild<QListWidget*>(QStringLiteral("File1"))->count(), 1);
        QTest::keyClick(dir->findChild<QListWidget*>(QStringLiteral("File1")), Qt::Key_Escape);
        QTRY_VERIFY(!dir);
        QVERIFY(w.window->terminal().fileTarget().isEmpty());
    }

    void view_showsTheToneInEveryKind_andFindsNotches() {
        Modem modem;
        XmmvView view(modem);
        view.resize(300, 100);
        view.show();
        modem.addNotch(2000);
        QCOMPARE(view.notchAt(view.xFor(2000)), 1);
        QCOMPARE(view.notchAt(view.xFor(2500)), 0);
        const auto x = tone(1000, 48000);
        for (DisplayKind kind :
             {DisplayKind::Spectrum, DisplayKind::Waterfall, DisplayKind::Scope}) {
            view.display = kind;
            modem.receive(x.data(), x.size());
            const QImage shot = view.grab().toImage();
            int lit = 0;
            for (int y = 0; y < shot.height(); ++y)
                lit += qGray(shot.pixel(view.xFor(1000) + 2, y)) > 40;
            QVERIFY2(lit > 0,
                     qPrintable(QString("display %1 shows nothing at 1000 Hz").arg(int(kind))));
        }
    }

    // SignalBrowser.ini may ask for any size (100000 x 100000 made a 32767 x 32767 window, 2.4
    // GB): the browser opens within the screen, and that is what it keeps.
    void signalBrowser_hugeGeometryInItsSettingsFile_staysWithinTheScreen() {
        WindowRig w;
        QWidget huge;
        huge.setGeometry(-5000, -5000, 100000, 100000);
        {
            QSettings settings(w.rig.path(SignalBrowserWindow::kSettingsFile), QSettings::IniFormat);
            settings.setValue("geometry", huge.saveGeometry());
        }
        w.window->findChild<QAction*>(signalBrowserMenu)->trigger();
        auto* browser = w.window->findChild<SignalBrowserWindow*>();
        QVERIFY(browser);
        const QRect room = browser->screen()->availableGeometry();
        const QRect placed(browser->pos(), browser->size());
        QVERIFY2(placed.left() >= room.left() && placed.top() >= room.top() &&
                     placed.right() <= room.right() && placed.bottom() <= room.bottom(),
                 qPrintable(QString("%1,%2 %3x%4 in %5,%6 %7x%8").arg(browser->x()).arg(browser->y()).arg(browser->width()).arg(browser->height()).arg(room.x()).arg(room.y()).arg(room.width()).arg(room.height())));
        browser->close();
        QTRY_VERIFY(!w.window->findChild<SignalBrowserWindow*>());
        QWidget reread;
        reread.restoreGeometry(QSettings(w.rig.path(SignalBrowserWindow::kSettingsFile), QSettings::IniFormat)
                                   .value("geometry")
                                   .toByteArray());
        QVERIFY(reread.width() <= room.width() && reread.height() <= room.height());
    }

    // View > Signal Browser: a row per signal read as a sentence, Enter tunes channel 0, the
    // squelch hides the weak, and the window keeps its squelch for the next time.
    void signalBrowser_rowsReadAsSentences_enterTunes_squelchHides() {
        WindowRig w;
        QAction* open = w.window->findChild<QAction*>(signalBrowserMenu);
        QVERIFY(open && open->text() == QStringLiteral("Signal Browser"));
        QCOMPARE(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        open->trigger();
        auto* browser = w.window->findChild<SignalBrowserWindow*>();
        QVERIFY(browser && browser->isVisible());
        const std::vector<float> band = SyntheticBand::band(
            {{900, 15, "CQ DE OH2XX"}, {1500, -3, "QRZ DE K1ABC"}, {2200, 8, "TU 73"}}, false, 3);
        const size_t whileSending = 48000 * 8; // the stations still on the air
        for (size_t at = 0; at < whileSending; at += 4800)
            w.window->terminal().modem().receive(band.data() + at, 4800);
        QListWidget* list = browser->list();
        QTRY_COMPARE(list->count(), 3); // the list is redrawn a few times a second
        QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(list);
        QVERIFY(rows && rows->childCount() >= 3);
        const QString second = rows->child(1)->text(QAccessible::Name);
        QVERIFY2(QRegularExpression("^1[45]\\d\\d hertz, -?\\d+ dB: .*QRZ DE K1ABC")
                     .match(second)
                     .hasMatch(),
                 qPrintable(second));
        list->setFocus();
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(std::abs(w.window->terminal().modem().receiveCarrier(0) - 1500) < 6);
        browser->findChild<QSpinBox*>("Squelch")->setValue(5); // the -3 dB station goes
        QCOMPARE(list->count(), 2);
        browser->close();
        QTRY_VERIFY(!w.window->findChild<SignalBrowserWindow*>());
        QCOMPARE(QSettings(w.rig.path(SignalBrowserWindow::kSettingsFile), QSettings::IniFormat)
                     .value("squelch")
                     .toInt(),
                 5);
        QVERIFY(!w.window->terminal().isBrowsing()); // closed, it no longer listens
        // ... unless the spots endpoint wants the stations: then it skims in the background.
        Terminal& terminal = w.window->terminal();
        terminal.setBrowsing(Terminal::BrowsingFor::Spots, true);
        QVERIFY(terminal.isBrowsing());
        terminal.setBrowsing(Terminal::BrowsingFor::Window, false);
        QVERIFY(terminal.isBrowsing());
        terminal.setBrowsing(Terminal::BrowsingFor::Spots, false);
        QVERIFY(!terminal.isBrowsing());
    }

    // "Listen for: CW": CW rows read with the sender's speed; the choice is kept, and the
    // terminal skims CW in the background by it once the window is closed.
    void signalBrowser_listensForCw_rowsTellTheSpeed_choiceKept() {
        WindowRig w;
        w.window->findChild<QAction*>(signalBrowserMenu)->trigger();
        auto* browser = w.window->findChild<SignalBrowserWindow*>();
        QVERIFY(browser);
        auto* listenFor = browser->findChild<QComboBox*>("ListenFor");
        QVERIFY(listenFor && !listenFor->accessibleName().isEmpty());
        listenFor->setCurrentIndex(1);
        Terminal& terminal = w.window->terminal();
        QVERIFY(terminal.browser().listensForCw());
        const std::vector<float> band = SyntheticBand::cwBand(
            {{800, 15, "CQ TEST K1ABC K1ABC TEST CQ TEST K1ABC K1ABC TEST", {24, 3, 0, 1}}}, 12);
        for (size_t at = 0; at + 4800 <= band.size(); at += 4800)
            terminal.modem().receive(band.data() + at, 4800);
        QListWidget* list = browser->list();
        QTRY_COMPARE(list->count(), 1);
        const QString row = QAccessible::queryAccessibleInterface(list)->child(0)->text(QAccessible::Name);
        QVERIFY2(QRegularExpression("^[78]\\d\\d hertz, \\d+ dB, 2[345] words per minute: .*K1ABC K1ABC")
                     .match(row).hasMatch(), qPrintable(row));
        browser->close();
        QTRY_VERIFY(!w.window->findChild<SignalBrowserWindow*>());
        QCOMPARE(QSettings(w.rig.path(SignalBrowserWindow::kSettingsFile), QSettings::IniFormat)
                     .value("listenFor").toString(), QString("cw"));
        terminal.browser().setListensForCw(false); // as a new session finds it
        terminal.setBrowsing(Terminal::BrowsingFor::Spots, true);
        QVERIFY(terminal.browser().listensForCw());
        terminal.setBrowsing(Terminal::BrowsingFor::Spots, false);
    }

    void symbolDotsAndAfcIndicator_followAPskSignal() {
        Modem modem;
        modem.setMode(0, "bpsk");
        modem.setReceiveCarrier(0, 1500);
        const std::vector<float> signal = PskModulator(48000, 1510, 31.25).transmit("CQ CQ CQ CQ CQ");
        modem.receive(signal.data(), signal.size());
        const auto dots = modem.symbolScope(0);
        QVERIFY(dots.size() >= 32);
        for (const auto& dot : dots) // two clusters, on the real axis
            QVERIFY(std::fabs(dot.imag()) < 0.5);
        QVERIFY(std::fabs(modem.afcOffset(0) - 10) < 1); // AFC found the signal 10 Hz up
        AfcIndicator afc(modem);
        afc.resize(100, 10);
        const QImage shot = afc.grab().toImage();
        QVERIFY(qGray(shot.pixel(60, 5)) > 100); // the mark stands right of centre
    }
};

QTEST_MAIN(DigitalWindowsTest)
#include "tst_DigitalWindows.moc"
