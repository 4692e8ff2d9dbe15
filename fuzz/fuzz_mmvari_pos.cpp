// The terminal's settings file MMVARI.POS, whatever it holds: the terminal opens on it and
// closes again. Invariants: what it writes back has the 46 lines, Talk is stored off, the PTT
// lines carry their keys, and the window's place is numbers.
#include "FuzzCheck.h"
#include "digital/terminal/MmvariPos.h"
#include "digital/terminal/Terminal.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/serial/FakeBackend.h"
#include "platform/sound/SoundDuplex.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(MmvariPos::kFileName);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    FakeClock clock(10.0);
    RecordingDialogs dialogs;
    FakeBackendProvider ports;
    NoSoundDuplex sound;
    {
        Terminal terminal({.clock = clock,
                           .dialogs = dialogs,
                           .ports = ports,
                           .sound = sound,
                           .inputDevices = {"A"},
                           .outputDevices = {"A"},
                           .defaultInput = "A",
                           .defaultOutput = "A",
                           .keyTransmitter = [](bool) {},
                           .folder = folder.path()});
        terminal.load();
        terminal.unload(terminal.geometry());
    }
    const auto lines = MmvariPos::read(path);
    FUZZ_CHECK(lines && lines->size() == MmvariPos::kLines);
    FUZZ_CHECK(lines->at(13) == QStringLiteral("NO"));
    FUZZ_CHECK(lines->at(31).startsWith(QStringLiteral("MMVARIPORT=")));
    FUZZ_CHECK(lines->at(32).startsWith(QStringLiteral("MMVARIOUTPUT=")));
    for (int i = 0; i < 4; ++i) {
        bool isNumber = false;
        lines->at(i).toInt(&isNumber);
        FUZZ_CHECK(isNumber);
    }
    return 0;
}
