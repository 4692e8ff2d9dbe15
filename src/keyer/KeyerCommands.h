#pragma once

#include <QByteArray>

// The WinKeyer host protocol's command structure. Every byte 0x00-0x1F starts a command and
// the bytes that follow it are its parameters, whatever their value: the 40 in "set speed 40"
// is the byte 0x28, not the text "(". Bytes 0x20-0x7F outside a command are text to send;
// 0x80-0xFF never come from a host and are skipped. A command cut off at the end of one batch
// goes on with the first bytes of the next, so the walker lives as long as the port is open.
class KeyerCommandWalker {
public:
    enum class Kind { Text, Command, Inside, Skipped };
    struct Step {
        Kind kind;
        QByteArray command; // the whole command with its parameters, when kind is Command
    };

    Step take(char byte);
    // Forgets a command begun: the logger opened the port anew, or its bytes were dropped.
    void reset() { pending_.clear(); }
    bool insideCommand() const { return !pending_.isEmpty(); }

    // How long the command that starts with `start` is, as far as `start` tells.
    static int commandLength(const QByteArray& start);

private:
    QByteArray pending_;
};

// What a WinKeyer answers to a command, as far as hosts wait for it.
namespace KeyerAnswers {
constexpr char kVersion = char(0x17);  // firmware revision 23, the answer to host open
constexpr char kPotMinimum = char(0x80); // the speed pot at its minimum
// The answer to `command` (empty when the keyer answers nothing), `status` being the
// keyer's status byte at that moment.
QByteArray to(const QByteArray& command, char status);
} // namespace KeyerAnswers
