// The WAV reader on any bytes. Invariants: every sample is a finite number within -1..1, and
// no more samples come out than the bytes could hold.
#include "FuzzCheck.h"
#include "common/WavIo.h"

#include <QBuffer>
#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    WavIo::Reader reader;
    if (!reader.open(device, nullptr))
        return 0;
    std::vector<float> block;
    size_t total = 0;
    while (reader.readBlock(block, 1000)) {
        total += block.size();
        for (float s : block)
            FUZZ_CHECK(std::isfinite(s) && s >= -1.0f && s <= 1.0f);
    }
    FUZZ_CHECK(total <= size);
    return 0;
}
