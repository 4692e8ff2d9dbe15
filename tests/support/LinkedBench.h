#pragma once

// The whole program logged in to a scripted station end on 127.0.0.1, the radio port open for
// a logger on fake ports.
#include "CoreBench.h"
#include "StationEnd.h"

#include <QCoreApplication>

struct LinkedBench : CoreBench {
    LinkedBench() {
        core->startUp();
        c().setText(Ctl::loginCallsignBox, "OH2XX");
        c().setText(Ctl::loginPasswordBox, "pw");
        ok = station.accept(core->serverSocket());
        startRadio();
        radio()->setLines({true, true, true, false});
    }

    // Lets the program take in everything the station has written so far.
    void takeIn() {
        QTcpSocket& socket = core->serverSocket();
        for (int round = 0; round < 1000; ++round) {
            const bool more = socket.waitForReadyRead(0);
            QCoreApplication::processEvents();
            if (!more && socket.bytesAvailable() == 0 && !core->linkState().serverRxBusy)
                break;
        }
    }
    // Sends a chunk as one write and lets the program take it in.
    void chunk(const QByteArray& bytes) {
        station.send(bytes);
        station.waitUntilSent();
        takeIn();
    }

    StationEnd station;
    bool ok = false;
};
