// The logger's command pass on anything a logger (or line noise) may send. Each line of the
// input is what one pass finds in the buffer. Invariants: the frequency the logger is told is
// always 11 digits, the mode is one of the seven (or none, when the logger chose none), and
// every reply is one answer: a single command ending in ";", never the rest of the burst.
#include "FuzzCheck.h"
#include "cat/CatCommandPass.h"
#include "station/CatFormats.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ControlStore store;
    store.setItems(Ctl::modeChoice, {"LSB", "USB", "CW", "FM", "AM", "RTTY", "CWR"});
    store.setValue(Ctl::modeChoice, 2);
    store.setText(Ctl::frequencyBox, "14000.00");
    StationPicture picture(store);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& piece : input.split('\n')) {
        QString buffer = QString::fromLatin1(piece);
        CatCommandPass pass(picture, picture.frequencyField(), true, 20);
        BridgeActions actions = pass.beforeLoop(buffer);
        actions += pass.commandLoop(buffer);
        for (const BridgeAction& action : actions) {
            if (action.kind != BridgeAction::ReplyToLogger)
                continue;
            FUZZ_CHECK(action.text.size() <= 38);
            FUZZ_CHECK(action.text.endsWith(u';') && action.text.count(u';') == 1);
        }
        const QString field = picture.frequencyField();
        FUZZ_CHECK(field.size() == 11);
        for (QChar c : field)
            FUZZ_CHECK(c.isDigit());
        // 0 only when the logger itself set "MD0;" (no mode chosen, as the station is told).
        FUZZ_CHECK(picture.modeDigit() >= 0 && picture.modeDigit() <= 7);
    }
    return 0;
}
