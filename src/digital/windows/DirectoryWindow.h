#pragma once

#include "digital/terminal/DirectoryBrowser.h"
#include "digital/terminal/FileSender.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;

// "Directory": the drive, folder and file lists, the pattern box, "Go F2" and "Close". A
// chosen text file goes out through the terminal's modem. A (modeless) dialog, so that a screen
// reader announces it as one.
class DirectoryWindow final : public QDialog {
    Q_OBJECT
  public:
    DirectoryWindow(FileSender& sender, QWidget* parent = nullptr);

    DirectoryBrowser& browser() { return browser_; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showFolder();
    void send(FileSender::Trigger trigger);

    FileSender& sender_;
    DirectoryBrowser browser_;
    QComboBox* drives_;
    QListWidget* folders_;
    QListWidget* files_;
    QLineEdit* pattern_;
    bool closeWhenSent_ = false;
};
