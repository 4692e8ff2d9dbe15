#pragma once

#include "common/Login.h"
#include "common/StationAddress.h"

#include "station/ChatLines.h"

#include <QObject>

class ChatClient;
class ChatServer;
class ControlStore;
class Dialogs;
class LogFile;

// The chat window without its widgets: loading and unloading (with "ChatFrm.ini"), sending,
// the log buttons, and the station server's chat lines.
class ChatPanel final : public QObject, public ChatLines {
    Q_OBJECT
public:
    static inline const QString kSettingsFile = QStringLiteral("ChatFrm.ini");

    struct Context {
        ControlStore& store; // main window
        const Login& login;  // who we are in the chat
        const StationAddress& address;
        ControlStore& chat;  // chat window
        ChatServer& server;
        ChatClient& client;
        LogFile& log;
    };

    explicit ChatPanel(Context context, QObject* parent = nullptr);

    // Loads the window hidden: its options, and on a client station the chat connection.
    void load();
    // Closes the window: its options are written; the connections stay up.
    void unload();
    void show();
    bool isLoaded() const { return loaded_; }
    bool isShown() const { return shown_; }

    void send();
    // The Enter key in the entry box; true when it was taken as "Send".
    bool enterPressed();
    void showLog();
    void deleteLog();

    // From the station server (ChatLines).
    bool showingChat() override;
    void appendChat(const QString& text) override;

signals:
    void shownChanged(bool shown);

private:
    Context ctx_;
    bool loaded_ = false;
    bool shown_ = false;
};
