#pragma once

// What the program does before it opens its main window, shared with the
// start-up benchmark so that it measures the program's own start.

namespace common {

// Gives the texts that count ("%n character(s)") their English words.
void installPluralForms();

// Tool tips keep Qt's tool-tip colours in every style. The Windows Vista
// style gives each its theme's text colour, which some themes make a light
// grey on white.
void keepToolTipColours();

// Starts the accessibility bridge, installs the plural forms, keeps the
// tool-tip colours, names the application and its maker, and gives it its
// version.
void setUpApplication();

} // namespace common
