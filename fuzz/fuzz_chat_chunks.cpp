// The chat server's handling of what stations send, without sockets: each line of the input is
// a chunk, the first byte of the line says which station sent it. Invariants: the display
// stays within its bound, the log grows by at most one short login line per station, and what
// is relayed is never longer than what came in.
#include "FuzzCheck.h"
#include "chat/ChatControls.h"
#include "chat/ChatDisplay.h"
#include "chat/ChatServer.h"
#include "platform/Clock.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/LogFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString logPath = folder.filePath("ZarnikControl.log");
    QFile::remove(logPath);
    ControlStore store, chat;
    store.setValue(Ctl::chatServerCheck, 1);
    LogFile log(logPath);
    log.open();
    FakeClock clock;
    const StationAddress address;
    ChatServer server({.store = store,
                       .chat = chat,
                       .address = address,
                       .log = log,
                       .clientConnected = [] { return false; },
                       .sendThroughClient = [](const QString&) {},
                       .allowListPath = QString(),
                       .clock = clock});
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& line : input.split('\n')) {
        if (line.isEmpty())
            continue;
        const int slot = 1 + static_cast<unsigned char>(line[0]) % 4;
        const QString chunk = QString::fromLatin1(line.mid(1));
        const QString relayed = server.handleChunk(slot, chunk);
        FUZZ_CHECK(relayed.size() <= chunk.size());
        FUZZ_CHECK(chat.text(ChatCtl::displayBox).size() <= ChatDisplay::kMaxCharacters);
    }
    log.close();
    QFile written(logPath);
    written.open(QIODevice::ReadOnly);
    const QByteArray logged = written.readAll();
    FUZZ_CHECK(logged.count("\r\n") <= 4);
    FUZZ_CHECK(logged.size() <= 4 * (ChatServer::kMaxLoginLine * 2 + 2));
    return 0;
}
