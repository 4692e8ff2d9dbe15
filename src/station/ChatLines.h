#pragma once

#include <QString>

// Where server chat lines ("A0:MSG") go: the chat window, when there is one.
class ChatLines {
public:
    virtual ~ChatLines() = default;
    // Loads the chat window when it is not loaded; true when it is on the screen.
    virtual bool showingChat() = 0;
    virtual void appendChat(const QString& text) = 0;
};

// Until there is a chat window, server chat lines have nowhere to go.
class NoChatWindow final : public ChatLines {
public:
    bool showingChat() override { return false; }
    void appendChat(const QString&) override {}
};
