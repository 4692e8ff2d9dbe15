#pragma once

#include <QStringList>

class ControlStore;

// Gives every control of the main window its initial caption, text, entries and state.
void populateMainControls(ControlStore& store, const QStringList& foundDevices);

// The seven radio-port line indicators, in caption order.
QStringList radioLineIndicators();

// Gives the chat window's controls their captions.
void populateChatControls(ControlStore& chat);
