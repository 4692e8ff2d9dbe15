#pragma once

#include <QtGlobal>

class QAbstractSocket;

// Bytes the peer has sent that this program has not read yet: those Qt holds and those
// still queued in the kernel.
namespace UnreadBytes {
qint64 of(const QAbstractSocket& socket);
} // namespace UnreadBytes
