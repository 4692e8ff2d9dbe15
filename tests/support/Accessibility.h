#pragma once

// What a screen reader would say for each control of a window: the name Qt's accessibility
// layer (AT-SPI on Linux) hands out. A control it would have to call "button" or "edit" with
// no name is a control a blind operator cannot find.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QWidget>

inline QStringList controlsWithoutAName(QWidget* root) {
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                             qobject_cast<QAbstractSlider*>(w) || qobject_cast<QListWidget*>(w);
        if (!control || qobject_cast<QLineEdit*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()))
            continue; // the edit inside a list box is spoken as the list box
        if (w->objectName().isEmpty() && qobject_cast<QAbstractSlider*>(w))
            continue; // the scroll bars inside a text box or list belong to it
        if (w->objectName().startsWith(QStringLiteral("qt_")))
            continue; // Qt's own parts (the menu bar's overflow arrow) are named by Qt
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << (w->objectName().isEmpty()
                            ? QString::fromLatin1(w->metaObject()->className())
                            : w->objectName());
    }
    return unnamed;
}
