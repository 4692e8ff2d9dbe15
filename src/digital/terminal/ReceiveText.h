#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <utility>

class CallsignList;
struct TerminalContext;

// The two receive boxes and the pick-up list: received characters become text (with the
// Talk substitutions and backspaces), channel 0's letters and digits are looked up as
// callsigns, and a click on a word takes it off the list.
//
// The text of a box is held here as the box shows it: a line break is one "\n" (the
// terminal's CR LF), so positions in the box and in the text agree.
class ReceiveText final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kPickWordLength = 10; // longer candidates are looked up
    static constexpr int kMaxListEntries = 9;
    // A box keeps its newest two million characters (two days of PSK31 copied around the
    // clock); past that the oldest tenth goes, whole lines at a time.
    static constexpr int kMaxCharacters = 2'000'000;

    ReceiveText(TerminalContext& context, const CallsignList& callsigns, QObject* parent = nullptr,
                int maxCharacters = kMaxCharacters);

    // The modem's CharReceived.
    void charReceived(int channel, QChar c);
    // A mouse button held in a receive box: what arrives meanwhile waits, in order, so that
    // a selection being made is not disturbed, and is shown when the button is released.
    void setMouseDown(bool down);
    // A click at this position of a receive box.
    void clickedAt(int channel, int position);
    // "Clear".
    void clearList();
    // A line of the terminal's own (the switch between sending and receiving).
    void appendNote(int channel, const QString& text) { append(channel, text); }

    const QString& text(int channel) const { return texts_[size_t(channel)]; }
    const QString& pickWord() const { return pickWord_; }
    int listHeightTwips() const { return listHeight_; }

  signals:
    void appended(int channel, const QString& text);
    void chopped(int channel, int count);      // characters taken off the end
    void trimmedFront(int channel, int count); // the oldest characters dropped
    void listHeightChanged(int twips);

  private:
    void removeCharacter(int channel);
    void addCharacter(int channel, QChar c);
    void pickUp(QChar upper);
    void sizeList();
    void append(int channel, const QString& text);

    TerminalContext& context_;
    const CallsignList& callsigns_;
    std::array<QString, 2> texts_;
    QString pickWord_;
    bool mouseDown_ = false;
    QList<std::pair<int, QChar>> held_; // arrived while the mouse was down
    int listHeight_ = 255;
    int maxCharacters_;
};
