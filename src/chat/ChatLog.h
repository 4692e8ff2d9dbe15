#pragma once

#include <QString>

class LogFile;

// The tail of the log file that the chat hands out ("Log", "A0:LOG;").
namespace ChatLog {

constexpr int kTailCharacters = 400;

// The log's lines joined with CR LF, from position max(1, length - 400) on, 400 characters.
// The log is closed for the reading and reopened for appending after it.
QString tail(LogFile& log);

// As tail(), then the log is emptied ("Del Log").
QString tailAndDelete(LogFile& log);

} // namespace ChatLog
