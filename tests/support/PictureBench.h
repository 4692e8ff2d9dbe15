#pragma once

// The station picture alone, on a store of its own as the main window's controls hold it (the
// mode list with CW chosen, the frequency box), the login, with the link's state beside it.
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/Login.h"
#include "station/LinkState.h"
#include "station/StationPicture.h"

struct PictureBench {
    explicit PictureBench(const QString& startFreq = "14000.00") {
        store.setItems(Ctl::modeChoice, {"LSB", "USB", "CW", "FM", "AM", "RTTY", "CWR"});
        store.setValue(Ctl::modeChoice, 2);
        store.setText(Ctl::frequencyBox, startFreq);
    }
    ControlStore store;
    Login login{.callsign = "OH2XX", .password = "pw"};
    StationPicture picture{store};
    LinkState link;
};
