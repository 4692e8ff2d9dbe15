// The keyer pass on any batch a logger may send its WinKeyer. Invariants: every line to the
// station is a short "WK:" or "WT:" line, the speed box gets a number, the logger's answer is
// bounded by the batch, and the side-tone text has only what Morse can sound.
#include "FuzzCheck.h"
#include "keyer/KeyerPass.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray batch(reinterpret_cast<const char*>(data), qsizetype(size));
    const KeyerPassResult result = KeyerPass::run(batch, true);
    for (const QString& line : result.serverLines) {
        FUZZ_CHECK(line.startsWith(QStringLiteral("WK:")) || line.startsWith(QStringLiteral("WT:")));
        FUZZ_CHECK(line.size() <= 16);
    }
    if (!result.speedText.isEmpty()) {
        bool isNumber = false;
        result.speedText.toInt(&isNumber);
        FUZZ_CHECK(isNumber);
    }
    FUZZ_CHECK(result.toLogger.size() <= batch.size() + 2);
    FUZZ_CHECK(result.sideTone.size() <= batch.size());
    return 0;
}
