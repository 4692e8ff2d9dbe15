// The main settings file: whatever it holds is read, written back and read again to the same
// settings (a file the program writes is one it reads the same way), and no value grows past
// the longest line the reader takes.
#include "FuzzCheck.h"
#include "settings/MainSettings.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    MainSettings first;
    SettingsLines::read(content, first);
    for (const QString* text :
         {&first.radioPort, &first.frequencyKhz, &first.serverAddress, &first.loginCallsign,
          &first.loginPassword, &first.sideTonePitch, &first.chatPort})
        FUZZ_CHECK(text->size() <= SettingsLines::kMaxLineLength);
    MainSettings second;
    SettingsLines::read(SettingsLines::write(first), second);
    FUZZ_CHECK(second == first);
    return 0;
}
