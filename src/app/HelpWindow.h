#pragma once

#include <QDialog>

// The help window: the operator's guide in short, with a "Close" button.
class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& portFolder, QWidget* parent = nullptr);

    static QString helpHtml(const QString& portFolder);
};
