#include "HelpWindow.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString& portFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("ZarnikControl Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("HelpText"));
    text->setOpenExternalLinks(false);
    text->setHtml(helpHtml(portFolder));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("HelpClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(640, 560);
}
