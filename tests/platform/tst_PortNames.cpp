#include "platform/serial/PortNames.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class PortNamesTest : public QObject {
    Q_OBJECT
private slots:
    void lists_keepComNamesThenVirtualThenDevices() {
        const QStringList devices{"/dev/ttyUSB0"};
        const QStringList radio = PortNames::radioPortList(devices);
        QCOMPARE(radio.first(), QString("COM1"));
        QCOMPARE(radio[19], QString("COM20"));
        QCOMPARE(radio[20], QString("Virtual"));
        QCOMPARE(radio.last(), QString("/dev/ttyUSB0"));
        const QStringList keyer = PortNames::keyerPortList(devices);
        QCOMPARE(keyer.first(), QString("None"));
        QCOMPARE(keyer[3], QString("COM3"));
        QCOMPARE(keyer[PortNames::kKeyerVirtualIndex], QString("Virtual"));
        QCOMPARE(keyer.last(), QString("/dev/ttyUSB0"));
    }

    void comNumber_readsTwoCharactersFromTheFourth_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("COM3") << "COM3" << 3;
        QTest::newRow("COM12") << "COM12" << 12;
        QTest::newRow("COM123 keeps two digits") << "COM123" << 12;
        QTest::newRow("Virtual") << "Virtual" << 0;
        QTest::newRow("device path") << "/dev/ttyUSB0" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void comNumber_readsTwoCharactersFromTheFourth() {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(PortNames::comNumber(name), number);
    }

    void devicePathForCom_prefersLinkInPortFolder() {
        QTemporaryDir folder;
        QCOMPARE(PortNames::devicePathForCom(3, folder.path()), QString("/dev/ttyS2"));
        QVERIFY(QFile::link("/dev/null", folder.filePath("COM3")));
        QCOMPARE(PortNames::devicePathForCom(3, folder.path()), folder.filePath("COM3"));
        QCOMPARE(PortNames::devicePathForCom(4, folder.path()), QString("/dev/ttyS3"));
    }
};

QTEST_GUILESS_MAIN(PortNamesTest)
#include "tst_PortNames.moc"
