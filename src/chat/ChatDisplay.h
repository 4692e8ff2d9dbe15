#pragma once

#include <QString>

class ControlStore;

// The chat window's display: text is appended, and only the newest part is kept, so that a
// chatty or flooding station cannot make it grow without end.
namespace ChatDisplay {

constexpr int kMaxCharacters = 32000;

void append(ControlStore& chat, const QString& text);
void set(ControlStore& chat, const QString& text);

} // namespace ChatDisplay
