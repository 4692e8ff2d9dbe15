#include "ReceiveText.h"

#include "CallsignList.h"
#include "TerminalContext.h"
#include "TerminalControls.h"
#include "common/ControlStore.h"

namespace {
constexpr QChar kBackspace(8);
constexpr QChar kLineFeed(10);
constexpr QChar kReturn(13);

bool isPickUpCharacter(QChar upper) {
    return (upper >= u'A' && upper <= u'Z') || (upper >= u'0' && upper <= u'9') || upper == u' ';
}
} // namespace

ReceiveText::ReceiveText(TerminalContext& context, const CallsignList& callsigns, QObject* parent,
                         int maxCharacters)
    : QObject(parent), context_(context), callsigns_(callsigns), maxCharacters_(maxCharacters) {}

void ReceiveText::charReceived(int channel, QChar c) {
    if (channel != 0 && channel != 1)
        return;
    if (c == kLineFeed)
        return;
    if (mouseDown_ && context_.terminalActive) {
        held_.append({channel, c});
        return;
    }
    if (c == kBackspace)
        removeCharacter(channel);
    else
        addCharacter(channel, c);
}

void ReceiveText::setMouseDown(bool down) {
    mouseDown_ = down;
    if (down)
        return;
    const auto held = std::exchange(held_, {});
    for (const auto& [channel, c] : held)
        charReceived(channel, c);
}

void ReceiveText::removeCharacter(int channel) {
    if (!context_.terminalActive)
        return;
    QString& text = texts_[size_t(channel)];
    if (text.isEmpty())
        return;
    text.chop(1); // a line break is one character here (CR LF in the box)
    emit chopped(channel, 1);
}

void ReceiveText::addCharacter(int channel, QChar c) {
    if (!context_.terminalActive)
        return;
    if (channel == 1 && !context_.store.isVisible(TermCtl::at(TermCtl::modeChoice, 1)))
        return;
    QString shown(c);
    if (channel == 0 && context_.store.isTicked(TermCtl::talkButton)) {
        if (c == u':')
            shown = QStringLiteral(". ");
        else if (c.unicode() < 31)
            shown = QStringLiteral(".");
    }
    if (shown == kReturn)
        shown = kLineFeed; // CR becomes the box's line break
    append(channel, shown);
    if (channel == 0)
        pickUp(c.toUpper());
}

void ReceiveText::append(int channel, const QString& text) {
    QString& box = texts_[size_t(channel)];
    box += text;
    emit appended(channel, text);
    if (box.size() <= maxCharacters_)
        return;
    const qsizetype lineEnd = box.indexOf(kLineFeed, box.size() - maxCharacters_ * 9 / 10);
    const int count = int(lineEnd >= 0 ? lineEnd + 1 : box.size() - maxCharacters_ * 9 / 10);
    box.remove(0, count);
    emit trimmedFront(channel, count);
}

void ReceiveText::pickUp(QChar upper) {
    if (pickWord_.size() > kPickWordLength) {
        const std::optional<QString> callsign = callsigns_.callsignIn(pickWord_);
        QStringList list = context_.store.items(TermCtl::callsignList);
        if (callsign && !list.contains(*callsign)) {
            list.append(*callsign);
            context_.store.setItems(TermCtl::callsignList, list);
        }
        pickWord_.clear();
    }
    if (isPickUpCharacter(upper))
        pickWord_ += upper;
    sizeList();
}

void ReceiveText::sizeList() {
    QStringList list = context_.store.items(TermCtl::callsignList);
    const int entries = int(list.size());
    const int height = entries >= 5 ? 1275 : entries >= 2 ? entries * 255 : 255;
    if (height != listHeight_) {
        listHeight_ = height;
        emit listHeightChanged(height);
    }
    if (entries > kMaxListEntries) {
        list.removeFirst();
        context_.store.setItems(TermCtl::callsignList, list);
    }
}

void ReceiveText::clearList() {
    context_.store.setItems(TermCtl::callsignList, {});
    listHeight_ = 255;
    emit listHeightChanged(listHeight_);
}

void ReceiveText::clickedAt(int channel, int position) {
    const QString& text = texts_[size_t(channel)];
    if (text.isEmpty())
        return;
    position = qBound(0, position, int(text.size()));
    int start = position;
    while (start > 0 && text[start - 1] != u' ' && text[start - 1] != kLineFeed)
        --start;
    if (start == 0)
        return; // the first word of the box has no delimiter before it
    --start;    // the delimiter belongs to the word, trimmed off below
    int end = position;
    while (end < text.size() && text[end] != u' ' && text[end] != kLineFeed)
        ++end;
    const QString word = text.mid(start, end - start).trimmed();
    if (word.isEmpty())
        return;
    QStringList list = context_.store.items(TermCtl::callsignList);
    if (list.removeAll(word) > 0)
        context_.store.setItems(TermCtl::callsignList, list);
}
