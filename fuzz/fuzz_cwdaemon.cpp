// The cwdaemon request parser on any datagram a network peer may send. Invariants: only
// printable text is ever keyed, it is no longer than its bound, values stay in their ranges,
// and a datagram that begins with ESC is never text.
#include "FuzzCheck.h"
#include "endpoints/CwDaemonRequest.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray datagram(reinterpret_cast<const char*>(data), qsizetype(size));
    const CwDaemonRequest request = CwDaemonRequest::parse(datagram);
    using Kind = CwDaemonRequest::Kind;
    if (request.kind == Kind::Text) {
        FUZZ_CHECK(!datagram.startsWith('\x1b'));
        FUZZ_CHECK(datagram.startsWith(request.text.toLatin1())); // nothing but what came first
        FUZZ_CHECK(request.text.size() <= CwDaemonRequest::kMaxText);
        for (QChar c : request.text)
            FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() <= 0x7E);
    }
    if (request.kind == Kind::Speed)
        FUZZ_CHECK(request.value >= CwDaemonRequest::kLowestSpeed && request.value <= CwDaemonRequest::kHighestSpeed);
    if (request.kind == Kind::Ptt)
        FUZZ_CHECK(request.value == 0 || request.value == 1);
    if (request.kind == Kind::Tune)
        FUZZ_CHECK(request.value >= 0 && request.value <= CwDaemonRequest::kLongestTuneSeconds);
    return 0;
}
