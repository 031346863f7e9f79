#pragma once

class frmScheduler;

// Copies the ten stored job choices into their controls, with their defaults where nothing is stored.
void LoadSettings(frmScheduler& form);
