// The name of the program the user ticked on the software page, as its catalogue line gives it.
#pragma once

#include <string>

class TQX;

// Field 1 of the catalogue line at the engine's selected row of its software type; "" while no
// program is selected.
std::string SelectedProgramName(const TQX& engine);
