#include "common/Controls.h"
#include "widgets/IndicatorLight.h"
#include "app/MainWindow.h"
#include "platform/gui/WidgetDialogs.h"
#include "digital/terminal/Terminal.h"
#include "digital/windows/TerminalWindow.h"
#include "platform/sound/FakeSoundDuplex.h"
#include "support/Accessibility.h"
#include "support/CoreBench.h"
#include "support/StationEnd.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

struct Screen : CoreBench {
    Screen() {
        core->startUp();
        window.show();
    }
    template <typename T> T* find(const QString& name) { return window.findChild<T*>(name); }
    QAction* action(const QString& name) { return window.findChild<QAction*>(name); }

    AppCore& core_ = *core;
    FakeSoundDuplex sound{clock}; // given to the terminal by the tests that send; outlives it
    MainWindow window{*core};
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsAndStoreStayInStep() {
        Screen s;
        ControlStore& c = s.core_.controls();
        c.setText(Ctl::frequencyBox, "7074.00");
        QCOMPARE(s.find<QLineEdit>(Ctl::frequencyBox)->text(), QString("7074.00"));
        QTest::keyClicks(s.find<QLineEdit>(Ctl::loginCallsignBox), "oh2xx");
        QCOMPARE(c.text(Ctl::loginCallsignBox), QString("oh2xx"));
        s.find<QComboBox>(Ctl::modeChoice)->setCurrentIndex(1);
        emit s.find<QComboBox>(Ctl::modeChoice)->activated(1);
        QCOMPARE(c.text(Ctl::modeChoice), QString("USB"));
        s.action(Ctl::expandMenu)->trigger(); // the monitors show in the large window
        QTest::mouseClick(s.find<QCheckBox>(Ctl::monitorDataCheck), Qt::LeftButton);
        QVERIFY(c.isTicked(Ctl::monitorDataCheck));
        c.setColour(Ctl::cdLight, Colours::kRed);
        QCOMPARE(s.find<IndicatorLight>(Ctl::cdLight)->colourNumber(), Colours::kRed);
        c.setEnabled(Ctl::radioPortChoice, false);
        QVERIFY(!s.find<QComboBox>(Ctl::radioPortChoice)->isEnabled());
        s.core_.monitors().copyFromLogger("IF;");
        const QPlainTextEdit* monitor = s.find<QPlainTextEdit>(Ctl::fromLoggerMonitor);
        QCOMPARE(monitor->textCursor().position(), monitor->toPlainText().size());
    }

    void startAndStopButtons_driveThePorts() {
        Screen s;
        s.core_.controls().selectItem(Ctl::radioPortChoice, "Virtual");
        s.core_.controls().selectItem(Ctl::keyerPortChoice, "None");
        QTest::mouseClick(s.find<QPushButton>(Ctl::startPortsButton), Qt::LeftButton);
        QVERIFY(s.core_.ports().radioPort().isOpen());
        QVERIFY(s.find<IndicatorLight>(Ctl::portOpenLight)->isShown());
        QTest::mouseClick(s.find<QPushButton>(Ctl::stopPortsButton), Qt::LeftButton);
        QVERIFY(!s.core_.ports().radioPort().isOpen());
        QVERIFY(!s.find<IndicatorLight>(Ctl::portOpenLight)->isShown());
    }

    void stepButtons_stepWhileHeld_andSendOnRelease() {
        Screen s;
        auto* up = s.find<QToolButton>(Ctl::frequencyUpButton);
        auto* down = s.find<QToolButton>(Ctl::frequencyDownButton);
        QVERIFY(up->arrowType() == Qt::UpArrow && down->arrowType() == Qt::DownArrow);
        QTest::mousePress(up, Qt::LeftButton);
        s.core_.stepper().step(); // the step timer's tick while the button is held
        QTest::mouseRelease(up, Qt::LeftButton);
        QVERIFY(!s.core_.stepper().isStepping());
        const double afterLeft = s.core_.controls().text(Ctl::frequencyBox).toDouble();
        QVERIFY(afterLeft > 14000.0 && afterLeft < 14001.0); // tenths of a kHz
        QTest::mousePress(down, Qt::RightButton);
        QTest::mouseRelease(down, Qt::RightButton);
        QVERIFY(!s.core_.stepper().isStepping());
        QVERIFY(s.core_.controls().text(Ctl::frequencyBox).toDouble() <= afterLeft - 1.0);
    }

    void repeatedMessage_isNotStacked() {
        WidgetDialogs dialogs;
        bool secondReturned = false;
        QTimer::singleShot(0, this, [&] {
            dialogs.showMessage("error Invalid property value"); // already open: returns
            secondReturned = true;
            QApplication::activeModalWidget()->close();
        });
        dialogs.showMessage("error Invalid property value");
        QVERIFY(secondReturned);
    }

    void chatWindow_enterSends_andLeavesNoLineBreak() {
        Screen s;
        s.action(Ctl::chatMenu)->trigger();
        auto* chat = s.window.findChild<QWidget*>("Chatfrm");
        QVERIFY(chat && chat->isVisible());
        auto* entry = chat->findChild<QPlainTextEdit*>("Text2");
        s.core_.chatControls().setValue("EnterKey", 1);
        QTest::keyClicks(entry, "hello");
        QCOMPARE(s.core_.chatControls().text("Text2"), QString("hello"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(entry->toPlainText(), QString("hello")); // sent (nowhere to go), no line break
        s.core_.chatControls().setValue("EnterKey", 0);
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(entry->toPlainText(), QString("hello\n"));
        chat->close();
        QVERIFY(!s.core_.chatPanel().isShown());
        QVERIFY(QFile::exists(s.folder.filePath("ChatFrm.ini")));
    }

    void everyControlOfTheMainAndChatWindowsHasASpokenName() {
        Screen s;
        s.core_.windowSize().toggle(); // the expanded part too
        QStringList unnamed = controlsWithoutAName(&s.window);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));
        s.action(Ctl::chatMenu)->trigger();
        unnamed = controlsWithoutAName(s.window.findChild<QWidget*>("Chatfrm"));
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));
    }

    void digitalMenu_stopsThePortsAndOpensTheTerminal_andAgainClosesIt_andTheEndClosesIt() {
        Screen s;
        s.startRadio();
        s.action(Ctl::digitalMenu)->trigger();
        QVERIFY(!s.core_.ports().radioPort().isOpen() &&
                !s.find<IndicatorLight>(Ctl::portOpenLight)->isShown());
        QPointer<TerminalWindow> terminal = s.window.terminalWindow();
        QVERIFY(terminal && terminal->isVisible());
        QCOMPARE(terminal->windowTitle(), QString("Vantor Digital Interface"));
        s.action(Ctl::digitalMenu)->trigger();
        QTRY_VERIFY(!terminal);
        QVERIFY(QFile::exists(s.folder.filePath("MMVARI.POS")));
        s.action(Ctl::digitalMenu)->trigger();
        terminal = s.window.terminalWindow();
        QVERIFY(terminal);
        s.core_.exitProgram();
        QTRY_VERIFY(!terminal);
    }

    void endingTheProgramWhileTheTerminalSends_keysTheStationUpFirst() {
        Screen s;
        StationEnd station;
        QVERIFY(station.accept(s.core_.serverSocket()));
        ModemSound sound; // without a sound card the terminal keys nothing
        sound.duplex = &s.sound;
        s.core_.setModemSound(sound);
        s.action(Ctl::digitalMenu)->trigger();
        TerminalWindow* terminal = s.window.terminalWindow();
        auto* tx = terminal->findChild<QPushButton*>(TermCtl::transmitButton);
        tx->click(); // transmitting: "A0:MX1;"
        QVERIFY(terminal->terminal().modem().isTransmitting());
        s.core_.exitProgram();
        QTRY_COMPARE(station.lines(), (QStringList{"A0:MX1;", "A0:MX0;"}));
    }

    void windowManagerClose_endsTheProgramLikeExit() {
        Screen s;
        QSignalSpy ended(&s.core_, &AppCore::programEnded);
        QVERIFY(s.window.close());
        QCOMPARE(ended.count(), 1);
        QVERIFY(QFile::exists(s.folder.filePath("ZarnikControl.ini")));
    }

};

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
