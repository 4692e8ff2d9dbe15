#include "ChatDisplay.h"

#include "ChatControls.h"
#include "common/ControlStore.h"

namespace ChatDisplay {

void set(ControlStore& chat, const QString& text) {
    chat.setText(ChatCtl::Text1, text.size() > kMaxCharacters ? text.right(kMaxCharacters) : text);
}

void append(ControlStore& chat, const QString& text) { set(chat, chat.text(ChatCtl::Text1) + text); }

} // namespace ChatDisplay
