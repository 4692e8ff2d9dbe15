#pragma once

#include <QString>
#include <QStringList>

// What the directory window lists: the "drives" (on Linux the root of the file system and
// every mounted volume), the folders of the current folder and its files that match the
// pattern. Patterns match without regard to case, as on the system the files come from.
class DirectoryBrowser {
  public:
    inline static const QString kTextPattern = QStringLiteral("*.txt");

    explicit DirectoryBrowser(QString startFolder);

    static QStringList drives();
    // The drive a folder lies on: the longest mount point that holds it.
    static QString driveOf(const QString& folder, const QStringList& drives);

    const QString& folder() const { return folder_; }
    // Goes to a folder (absolute, or a sub-folder name or ".." of the current one); false
    // when it cannot be read, and the current folder stays.
    bool setFolder(const QString& folder);
    QStringList subFolders() const; // ".." first unless at the root
    const QString& pattern() const { return pattern_; }
    void setPattern(const QString& pattern); // an empty pattern lists every file
    QStringList files() const;

  private:
    QString folder_;
    QString pattern_ = kTextPattern;
};
