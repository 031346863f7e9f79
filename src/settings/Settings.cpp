#include "settings/Settings.h"

void LoadSettings(frmScheduler&) {}
