#include "ChatDisplay.h"

#include "ChatControls.h"
#include "common/ControlStore.h"

namespace ChatDisplay {

void set(ControlStore& chat, const QString& text) {
    chat.setText(ChatCtl::displayBox,
                 text.size() > kMaxCharacters ? text.right(kMaxCharacters) : text);
}

void append(ControlStore& chat, const QString& text) {
    set(chat, chat.text(ChatCtl::displayBox) + text);
}

} // namespace ChatDisplay
