#include "DirectoryWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
template <typename T> T* named(const QString& name, const QString& accessible) {
    auto* widget = new T;
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    return widget;
}
} // namespace

DirectoryWindow::DirectoryWindow(FileSender& sender, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint), sender_(sender),
      browser_(QDir::currentPath()) {
    setObjectName(QStringLiteral("Directory"));
    setWindowTitle(QStringLiteral("Directory"));
    setAttribute(Qt::WA_DeleteOnClose);
    unsetCursor();
    drives_ = named<QComboBox>(QStringLiteral("Drive1"), QStringLiteral("Drive"));
    drives_->addItems(DirectoryBrowser::drives());
    folders_ = named<QListWidget>(QStringLiteral("Dir1"), QStringLiteral("Folders"));
    files_ = named<QListWidget>(QStringLiteral("File1"), QStringLiteral("Files"));
    pattern_ = named<QLineEdit>(QStringLiteral("Filetype"), QStringLiteral("File name pattern"));
    pattern_->installEventFilter(this);
    auto* source = named<QLineEdit>(QStringLiteral("FSource"), QStringLiteral("Kind of file"));
    source->setText(QStringLiteral("txt"));
    source->hide();
    auto* folderLabel =
        named<QLabel>(QStringLiteral("FolderPath"), QStringLiteral("Current folder"));
    auto* go = named<QPushButton>(QStringLiteral("Command2"), QStringLiteral("Go F2"));
    go->setText(QStringLiteral("Go F2"));
    go->setAutoDefault(false); // Enter in the pattern box is no click on a button
    auto* close = named<QPushButton>(QStringLiteral("Command1"), QStringLiteral("Close"));
    close->setText(QStringLiteral("Close"));
    close->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(drives_, 0, 0);
    grid->addWidget(pattern_, 0, 1);
    grid->addWidget(folderLabel, 1, 0, 1, 2);
    grid->addWidget(folders_, 2, 0);
    grid->addWidget(files_, 2, 1);
    grid->addWidget(go, 3, 0);
    grid->addWidget(close, 3, 1);
    grid->addWidget(source, 4, 0);

    connect(drives_, &QComboBox::activated, this, [this](int index) {
        if (browser_.setFolder(drives_->itemText(index)))
            showFolder();
    });
    connect(folders_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (browser_.setFolder(item->text()))
            showFolder();
    });
    connect(files_, &QListWidget::itemDoubleClicked, this,
            [this] { send(FileSender::Trigger::DoubleClick); });
    connect(go, &QPushButton::clicked, this, [this] { send(FileSender::Trigger::GoF2); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(&sender_, &FileSender::hideRequested, this, &QWidget::hide);
    connect(&sender_, &FileSender::closeRequested, this, &QWidget::close);
    showFolder();
    // Esc and F2 work wherever the focus is in the window.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    resize(520, 360);
}

void DirectoryWindow::showFolder() {
    drives_->setCurrentText(
        DirectoryBrowser::driveOf(browser_.folder(), DirectoryBrowser::drives()));
    findChild<QLabel*>(QStringLiteral("FolderPath"))
        ->setText(QDir::toNativeSeparators(browser_.folder()));
    folders_->clear();
    folders_->addItems(browser_.subFolders());
    files_->clear();
    files_->addItems(browser_.files());
}

bool DirectoryWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        // Every activation brings back the text pattern.
        pattern_->setText(DirectoryBrowser::kTextPattern);
        browser_.setPattern(pattern_->text());
        showFolder();
        files_->setFocus();
    }
    return QDialog::event(event);
}

bool DirectoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pattern_ && event->type() == QEvent::FocusOut) {
        browser_.setPattern(pattern_->text());
        showFolder();
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key == Qt::Key_F2) {
            send(FileSender::Trigger::GoF2);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DirectoryWindow::send(FileSender::Trigger trigger) {
    if (sender_.isSending())
        return;
    QListWidgetItem* item = files_->currentItem();
    const QString name = item && item->isSelected() ? item->text() : QString();
    sender_.sendTextFile(browser_.folder(), name, trigger);
    if (closeWhenSent_)
        close();
}

void DirectoryWindow::closeEvent(QCloseEvent* event) {
    if (sender_.isSending()) { // it goes once the file has stopped; the sender's wait is ours
        closeWhenSent_ = true;
        hide();
        event->ignore();
        return;
    }
    event->accept();
}
