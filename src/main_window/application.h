#pragma once

// What the program does before it opens its main window, shared with the
// start-up benchmark so that it measures the program's own start.

#include <QString>

namespace main_window {

// Names the application and its maker, and gives it its version.
void setUpApplication();

// Where the six slot files live: the root of drive C: on Windows, where
// earlier versions kept them; elsewhere the per-user application data folder.
QString defaultSlotFolder();

} // namespace main_window
