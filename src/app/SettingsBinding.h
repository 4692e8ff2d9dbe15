#pragma once

#include "settings/MainSettings.h"

class ControlStore;

// Moves the settings between the file's values and the main window's controls.
namespace SettingsBinding {

// Volume slider range, in hundredths of a decibel.
constexpr int kVolumeMin = -3000;
constexpr int kVolumeMax = 0;

MainSettings fromControls(const ControlStore& store);

// Puts the values into the controls. A value the control cannot hold (a list index past
// the list, a check value other than 0 or 1, a volume outside the slider, a port name not
// in the list) is rejected and the control keeps what it had.
void applyToControls(const MainSettings& settings, ControlStore& store);

} // namespace SettingsBinding
