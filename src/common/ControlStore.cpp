#include "ControlStore.h"

const ControlStore::Control* ControlStore::find(const QString& name) const {
    auto it = controls_.constFind(name);
    return it == controls_.constEnd() ? nullptr : &it.value();
}

QString ControlStore::text(const QString& name) const {
    const Control* c = find(name);
    if (!c)
        return {};
    if (c->isList)
        return c->value >= 0 && c->value < c->items.size() ? c->items[c->value] : QString();
    return c->text;
}

void ControlStore::setText(const QString& name, const QString& text) {
    Control& c = controls_[name];
    if (c.isList) {
        selectItem(name, text);
        return;
    }
    if (c.text == text)
        return;
    c.text = text;
    emit changed(name, Aspect::Text);
}

int ControlStore::value(const QString& name) const {
    const Control* c = find(name);
    return c ? c->value : 0;
}

void ControlStore::setValue(const QString& name, int value) {
    Control& c = controls_[name];
    if (c.value == value)
        return;
    c.value = value;
    emit changed(name, Aspect::Value);
}

QStringList ControlStore::items(const QString& name) const {
    const Control* c = find(name);
    return c ? c->items : QStringList();
}

void ControlStore::setItems(const QString& name, const QStringList& items) {
    Control& c = controls_[name];
    const QString chosen = c.isList ? text(name) : QString();
    c.isList = true;
    c.items = items;
    c.value = chosen.isEmpty() ? -1 : static_cast<int>(items.indexOf(chosen));
    emit changed(name, Aspect::Items);
}

bool ControlStore::isEnabled(const QString& name) const {
    const Control* c = find(name);
    return !c || c->enabled;
}

void ControlStore::setEnabled(const QString& name, bool enabled) {
    Control& c = controls_[name];
    if (c.enabled == enabled)
        return;
    c.enabled = enabled;
    emit changed(name, Aspect::Enabled);
}

bool ControlStore::isVisible(const QString& name) const {
    const Control* c = find(name);
    return !c || c->visible;
}

void ControlStore::setVisible(const QString& name, bool visible) {
    Control& c = controls_[name];
    if (c.visible == visible)
        return;
    c.visible = visible;
    emit changed(name, Aspect::Visible);
}

int ControlStore::colour(const QString& name) const {
    const Control* c = find(name);
    return c ? c->colour : 0;
}

void ControlStore::setColour(const QString& name, int colour) {
    Control& c = controls_[name];
    if (c.colour == colour)
        return;
    c.colour = colour;
    emit changed(name, Aspect::Colour);
}

void ControlStore::selectItem(const QString& name, const QString& itemText) {
    setValue(name, static_cast<int>(controls_[name].items.indexOf(itemText)));
}

bool ControlStore::isList(const QString& name) const {
    const Control* c = find(name);
    return c && c->isList;
}
