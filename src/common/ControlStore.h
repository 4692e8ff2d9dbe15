#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

// The state the main window shows, held by control name. The logic reads and writes it;
// the window mirrors it into widgets of the same objectName and writes the operator's
// edits back. Names are those of the controls ("StartFreq", "Combo1", "Shape3" ...).
//
// Each control has a text (box text, caption, or for a list the chosen entry), a value
// (list index with -1 for none, check value 0/1, scroll position), the entries of a list,
// enabled and visible flags, and a fill colour for indicator lights.
class ControlStore final : public QObject {
    Q_OBJECT
public:
    enum class Aspect { Text, Value, Items, Enabled, Visible, Colour };
    Q_ENUM(Aspect)

    using QObject::QObject;

    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text);
    int value(const QString& name) const;
    void setValue(const QString& name, int value);
    bool isTicked(const QString& name) const { return value(name) == 1; }
    QStringList items(const QString& name) const;
    void setItems(const QString& name, const QStringList& items);
    bool isEnabled(const QString& name) const;
    void setEnabled(const QString& name, bool enabled);
    bool isVisible(const QString& name) const;
    void setVisible(const QString& name, bool visible);
    int colour(const QString& name) const;
    void setColour(const QString& name, int colour);

    // For lists: selects the entry with this text; no entry is chosen when none matches.
    void selectItem(const QString& name, const QString& itemText);
    bool isList(const QString& name) const;

signals:
    void changed(const QString& name, ControlStore::Aspect aspect);

private:
    struct Control {
        QString text;
        int value = 0;
        QStringList items;
        bool isList = false;
        bool enabled = true;
        bool visible = true;
        int colour = 0;
    };
    const Control* find(const QString& name) const;

    QHash<QString, Control> controls_;
};
