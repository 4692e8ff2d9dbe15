#include "ControlBinder.h"

#include "IndicatorLight.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

void showText(QObject* target, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(target)) {
        if (box->toPlainText() == text)
            return; // the operator's own typing, coming back
        box->setPlainText(text);
        box->moveCursor(QTextCursor::End); // the newest line in view
    } else if (auto* combo = qobject_cast<QComboBox*>(target); combo && combo->isEditable()) {
        if (combo->currentText() != text)
            combo->setEditText(text);
    } else if (auto* label = qobject_cast<QLabel*>(target)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->setText(text);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
        action->setText(text);
    }
}

void showValue(QObject* target, int value) {
    if (auto* combo = qobject_cast<QComboBox*>(target)) {
        if (!combo->isEditable())
            combo->setCurrentIndex(value);
    } else if (auto* check = qobject_cast<QCheckBox*>(target))
        check->setChecked(value == 1);
    else if (auto* button = qobject_cast<QAbstractButton*>(target); button && button->isCheckable())
        button->setChecked(value == 1); // a toggle button's down state
    else if (auto* action = qobject_cast<QAction*>(target); action && action->isCheckable())
        action->setChecked(value == 1);
    else if (auto* slider = qobject_cast<QAbstractSlider*>(target))
        slider->setValue(value);
}

} // namespace

ControlBinder::ControlBinder(ControlStore& store, QObject* parent)
    : QObject(parent), store_(store) {
    connect(&store_, &ControlStore::changed, this, &ControlBinder::onStoreChanged);
}

void ControlBinder::bindAll(QWidget* root, const QList<QAction*>& actions) {
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->objectName().isEmpty())
            bindWidget(widget);
    }
    // Only the named ones are controls: a menu's own action (its title) is not, and binding it
    // would show the empty text of a control that does not exist.
    for (QAction* action : actions)
        if (!action->objectName().isEmpty())
            bindAction(action);
}

void ControlBinder::bindWidget(QWidget* widget) {
    const QString name = widget->objectName();
    bound_.insert(name, widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable()) {
        // A list whose text may also be any value (a carrier in Hz): the store holds the text.
        connect(combo, &QComboBox::activated, this, [this, name, combo](int index) {
            if (!updating_)
                store_.setText(name, combo->itemText(index));
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        showAspect(widget, ControlStore::Aspect::Items);
        connect(combo, &QComboBox::activated, this, [this, name](int index) {
            if (!updating_)
                store_.setValue(name, index);
        });
    } else if (qobject_cast<QListWidget*>(widget)) {
        showAspect(widget, ControlStore::Aspect::Items);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        connect(edit, &QLineEdit::textEdited, this,
                [this, name](const QString& text) { store_.setText(name, text); });
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget); box && !box->isReadOnly()) {
        connect(box, &QPlainTextEdit::textChanged, this, [this, name, box] {
            if (!updating_)
                store_.setText(name, box->toPlainText());
        });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget);
               button && button->isCheckable()) {
        connect(button, &QAbstractButton::clicked, this,
                [this, name](bool down) { store_.setValue(name, down ? 1 : 0); });
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
        connect(slider, &QAbstractSlider::valueChanged, this, [this, name](int value) {
            if (!updating_)
                store_.setValue(name, value);
        });
    }
    for (auto aspect :
         {ControlStore::Aspect::Text, ControlStore::Aspect::Value, ControlStore::Aspect::Enabled,
          ControlStore::Aspect::Visible, ControlStore::Aspect::Colour})
        showAspect(widget, aspect);
}

void ControlBinder::bindAction(QAction* action) {
    const QString name = action->objectName();
    bound_.insert(name, action);
    if (action->isCheckable()) {
        connect(action, &QAction::triggered, this,
                [this, name](bool ticked) { store_.setValue(name, ticked ? 1 : 0); });
    }
    for (auto aspect : {ControlStore::Aspect::Text, ControlStore::Aspect::Value,
                        ControlStore::Aspect::Enabled, ControlStore::Aspect::Visible})
        showAspect(action, aspect);
}

void ControlBinder::onStoreChanged(const QString& name, ControlStore::Aspect aspect) {
    if (QObject* target = bound_.value(name))
        showAspect(target, aspect);
}

void ControlBinder::showAspect(QObject* target, ControlStore::Aspect aspect) {
    const QString name = target->objectName();
    updating_ = true;
    switch (aspect) {
    case ControlStore::Aspect::Text:
        if (auto* combo = qobject_cast<QComboBox*>(target); !combo || combo->isEditable())
            showText(target, store_.text(name)); // a plain list shows its chosen entry
        break;
    case ControlStore::Aspect::Value:
        showValue(target, store_.value(name));
        break;
    case ControlStore::Aspect::Items:
        if (auto* combo = qobject_cast<QComboBox*>(target); combo && store_.isList(name)) {
            combo->clear();
            combo->addItems(store_.items(name));
            combo->setCurrentIndex(store_.value(name));
        } else if (auto* list = qobject_cast<QListWidget*>(target)) {
            list->clear();
            list->addItems(store_.items(name));
        }
        break;
    case ControlStore::Aspect::Enabled:
        if (auto* widget = qobject_cast<QWidget*>(target))
            widget->setEnabled(store_.isEnabled(name));
        else if (auto* action = qobject_cast<QAction*>(target))
            action->setEnabled(store_.isEnabled(name));
        break;
    case ControlStore::Aspect::Visible:
        if (auto* light = qobject_cast<IndicatorLight*>(target))
            light->setShown(store_.isVisible(name));
        else if (auto* widget = qobject_cast<QWidget*>(target))
            widget->setVisible(store_.isVisible(name));
        else if (auto* action = qobject_cast<QAction*>(target))
            action->setVisible(store_.isVisible(name));
        break;
    case ControlStore::Aspect::Colour:
        if (auto* light = qobject_cast<IndicatorLight*>(target))
            light->setColourNumber(store_.colour(name));
        break;
    }
    updating_ = false;
}
