#pragma once

class QWidget;
class frmScheduler;

// Copies the ten stored job choices into their controls, with their defaults where nothing is stored. A
// control that changes raises its click, whose handler stores the value again. A stored value that cannot be
// used gets one log pane line naming key and value, and its default replaces it in the control and the store;
// the other settings load as usual.
void LoadSettings(frmScheduler& form);

// Stores control's current Value or ListIndex under its key before returning. When the store refuses, the
// control keeps its value and a log pane line says which setting was not saved and why.
void SaveControlSetting(frmScheduler& form, const QWidget& control);
