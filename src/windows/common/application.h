#pragma once

// What the program does before it opens its main window, shared with the
// start-up benchmark so that it measures the program's own start.

namespace common {

// Gives the texts that count ("%n character(s)") their English words.
void installPluralForms();

// Starts the accessibility bridge, installs the plural forms, names the
// application and its maker, and gives it its version.
void setUpApplication();

} // namespace common
