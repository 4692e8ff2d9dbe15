#include "KeyerCommands.h"

namespace {

constexpr unsigned char kAdmin = 0x00;
constexpr unsigned char kBufferPointer = 0x16;
constexpr unsigned char kAddNulls = 3; // buffer pointer: a count of nulls follows

// Parameter bytes after each command byte 0x01-0x1F (0x00 is the admin prefix).
constexpr int kParameters[0x20] = {
    0, 1, 1, 1, 2, 3, 1, 0, 0, 1, 0, 1, 1, 1, 1, 15, // 0x00-0x0F
    1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 2, 1, 1, 0, 0,  // 0x10-0x1F
};

// Parameter bytes after an admin sub-command. Download EEPROM is followed by the whole
// 256-byte image: it is taken in and never keyed. Sub-commands beyond the WinKeyer 2 set
// take none.
int adminParameters(unsigned char sub) {
    switch (sub) {
    case 0x00: // calibrate
    case 0x04: // echo test
    case 0x0E: // send a stand-alone message
        return 1;
    case 0x0D:
        return 256;
    default:
        return 0;
    }
}

unsigned char at(const QByteArray& bytes, int index) {
    return static_cast<unsigned char>(bytes[index]);
}

} // namespace

int KeyerCommandWalker::commandLength(const QByteArray& start) {
    const unsigned char command = at(start, 0);
    if (command == kAdmin)
        return start.size() < 2 ? 2 : 2 + adminParameters(at(start, 1));
    if (command == kBufferPointer)
        return start.size() < 2 ? 2 : (at(start, 1) == kAddNulls ? 3 : 2);
    return 1 + kParameters[command];
}

KeyerCommandWalker::Step KeyerCommandWalker::take(char byte) {
    const auto code = static_cast<unsigned char>(byte);
    if (pending_.isEmpty()) {
        if (code >= 0x20 && code <= 0x7F)
            return {Kind::Text, {}};
        if (code > 0x7F)
            return {Kind::Skipped, {}};
    }
    pending_ += byte;
    if (pending_.size() < commandLength(pending_))
        return {Kind::Inside, {}};
    Step done{Kind::Command, pending_};
    pending_.clear();
    return done;
}

namespace KeyerAnswers {

QByteArray to(const QByteArray& command, char status) {
    const unsigned char first = at(command, 0);
    if (first == kAdmin && at(command, 1) == 0x02) // host open
        return QByteArray(1, kVersion);
    if (first == kAdmin && at(command, 1) == 0x04) // echo test
        return command.mid(2, 1);
    if (first == 0x15) // request status
        return QByteArray(1, status);
    if (first == 0x07) // read the speed pot
        return QByteArray(1, kPotMinimum);
    return {};
}

} // namespace KeyerAnswers
