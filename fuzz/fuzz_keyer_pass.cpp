// The keyer pass on any batch a logger may send its WinKeyer. Invariants: every line to the
// station is a short "WK:" or "WT:" line, the speed box gets a number, the logger's answer is
// bounded by the batch, and a batch cut in two means what it means whole.
#include "FuzzCheck.h"
#include "keyer/KeyerPass.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray batch(reinterpret_cast<const char*>(data), qsizetype(size));
    KeyerCommandWalker walker;
    const KeyerPassResult result = KeyerPass::run(batch, true, walker);
    for (const QString& line : result.serverLines) {
        FUZZ_CHECK(line.startsWith(QStringLiteral("WK:")) || line.startsWith(QStringLiteral("WT:")));
        FUZZ_CHECK(line.size() <= 16);
    }
    FUZZ_CHECK(result.speed == 0 || (result.speed >= KeyerPass::kLowestSpeed && result.speed <= 255));
    FUZZ_CHECK(result.toLogger.size() <= batch.size() + 2);
    FUZZ_CHECK(result.sideTone.size() <= batch.size());
    // A command cut between two batches means the same as in one: the station gets the
    // same lines and the side tone the same text however the logger's bytes are cut.
    if (size > 1) {
        const qsizetype cut = data[0] % size;
        KeyerCommandWalker split;
        const KeyerPassResult first = KeyerPass::run(batch.left(cut), true, split);
        const KeyerPassResult second = KeyerPass::run(batch.mid(cut), true, split);
        FUZZ_CHECK(first.serverLines + second.serverLines == result.serverLines);
        FUZZ_CHECK(first.sideTone + second.sideTone == result.sideTone);
    }
    return 0;
}
