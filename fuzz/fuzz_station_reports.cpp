// The station server's chunks through the report pass, a chunk per line of the input.
// Invariants: the frequency box always holds a number a logger can read (its 11-digit field),
// the mode stays one of the seven, the clarifier offset keeps its sign-and-four-digits form,
// and what is written to the logger stays within the report tail's bound.
#include "FuzzCheck.h"
#include "station/CatFormats.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "link/StationReportPass.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ControlStore store;
    store.setItems(Ctl::modeChoice, {"LSB", "USB", "CW", "FM", "AM", "RTTY", "CWR"});
    store.setValue(Ctl::modeChoice, 2);
    store.setText(Ctl::frequencyBox, "14000.00");
    const Login login{.callsign = "OH2XX", .password = "pw"};
    StationPicture picture(store);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& piece : input.split('\n')) {
        QString chunk = QString::fromLatin1(piece);
        StationReportPass pass(picture, store, login, true);
        for (const BridgeAction& action : pass.run(chunk))
            FUZZ_CHECK(action.text.size() <= StationReportPass::kMaxTail + 40);
        const QString field = picture.frequencyField();
        FUZZ_CHECK(field.size() == 11);
        for (QChar c : field)
            FUZZ_CHECK(c.isDigit());
        if (picture.modeDigit() < 1 || picture.modeDigit() > 7)
            std::fprintf(stderr, "chunk: %s\n", piece.constData());
        FUZZ_CHECK(picture.modeDigit() >= 1 && picture.modeDigit() <= 7);
        const QString offset = picture.clarifierOffset();
        FUZZ_CHECK(offset.size() == 5 && (offset[0] == u'-' || offset[0] == u'+'));
    }
    return 0;
}
