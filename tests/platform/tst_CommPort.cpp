#include "platform/serial/CommPort.h"
#include "platform/serial/FakeBackend.h"

#include <QTest>

namespace {

struct Rig {
    FakeBackendProvider provider;
    CommPort port{provider, PortRole::Radio};
    QList<CommEvent> events;
    FakeBackend* backend = nullptr;

    explicit Rig(const QString& name = "COM3") {
        QObject::connect(&port, &CommPort::commEvent, [this](CommEvent e) { events << e; });
        port.setPortName(name);
        port.setBaudRate(19200);
        port.setOutBufferSize(2400);
        port.setDiscardNull(true);
        backend = provider.port(name);
    }
};

QByteArray drain(CommPort& port) {
    QByteArray all;
    while (port.inBufferCount() > 0)
        all += port.readOne();
    return all;
}

} // namespace

class CommPortTest : public QObject {
    Q_OBJECT
private slots:
    void open_usesBaudAndRefusalGivesReason() {
        Rig rig;
        QVERIFY(rig.port.open());
        QCOMPARE(rig.backend->baud, 19200);
        rig.port.close();
        rig.backend->refuseOpen = true;
        QVERIFY(!rig.port.open());
        QVERIFY(!rig.port.errorString().isEmpty());
        QVERIFY(!rig.port.isOpen());

        Rig unnamed("");
        QVERIFY(!unnamed.port.open());
    }

    void receive_dropsNulAndReadsOneByteAtATime() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->feed(QByteArray("I\0F;", 4));
        QCOMPARE(rig.events, QList<CommEvent>{CommEvent::Receive});
        QCOMPARE(rig.port.inBufferCount(), 3);
        QCOMPARE(rig.port.readOne(), QByteArray("I"));
        QCOMPARE(drain(rig.port), QByteArray("F;"));
        QCOMPARE(rig.port.readOne(), QByteArray());
    }

    void receive_flood_isBoundedAndReportedOnce() {
        Rig rig;
        QVERIFY(rig.port.open());
        for (int i = 0; i < 10; ++i)
            rig.backend->feed(QByteArray(1000, 'x'));
        QCOMPARE(rig.port.inBufferCount(), CommPort::kInBufferSize);
        QCOMPARE(rig.events.count(CommEvent::RxOverflow), 1);
        drain(rig.port);
        rig.backend->feed("IF;");
        QCOMPARE(drain(rig.port), QByteArray("IF;")); // newest data after the overflow is kept
    }

    void write_beyondOutputBuffer_isRefusedWithEvent() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->heldOutput = 2000;
        rig.port.write(QByteArray(401, 'a'));
        QCOMPARE(rig.events, QList<CommEvent>{CommEvent::TxFull});
        QVERIFY(rig.backend->written.isEmpty());
        rig.port.write(QByteArray(400, 'a'));
        QCOMPARE(rig.backend->written.size(), 400);
    }

    void lineChanges_becomeEvents() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->setLines({true, true, true, false});
        QCOMPARE(rig.events, (QList<CommEvent>{CommEvent::CtsChange, CommEvent::DsrChange,
                                               CommEvent::CdChange}));
        QVERIFY(rig.port.cd() && rig.port.dsr() && rig.port.cts());
        rig.events.clear();
        rig.backend->setLines({true, false, true, false});
        QCOMPARE(rig.events, QList<CommEvent>{CommEvent::CtsChange});
    }

    void handlerReopeningPort_endsTheBatchOfLineEvents() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->setLines({true, true, true, false});
        rig.events.clear();
        QObject::connect(&rig.port, &CommPort::commEvent, [&](CommEvent e) {
            if (e == CommEvent::DsrChange) { // the logger left: start again
                rig.port.close();
                QVERIFY(rig.port.open());
            }
        });
        rig.backend->setLines({false, false, false, false});
        QCOMPARE(rig.events, (QList<CommEvent>{CommEvent::CtsChange, CommEvent::DsrChange}));
        QVERIFY(rig.port.isOpen());
        QVERIFY(!rig.port.cd());
    }
};

QTEST_GUILESS_MAIN(CommPortTest)
#include "tst_CommPort.moc"
