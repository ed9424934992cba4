// Fixed numbers the grid shares with the programs that use it.
#pragma once

// Built-in cell controls, named by the string resource that holds their display name.
constexpr int GRID_IDS_CTRL_STATIC = 52513;   // "Static Text"
constexpr int GRID_IDS_CTRL_PROGRESS = 52514; // "Progress"

// User attributes of a cell style read by the progress controls.
constexpr int GRID_IDS_UA_PROGRESS_LOWER = 51025;   // "Progress: Lower Bound", default "0"
constexpr int GRID_IDS_UA_PROGRESS_UPPER = 51026;   // "Progress: Upper Bound", default "100"
constexpr int GRID_IDS_UA_PROGRESS_CAPTION = 51027; // "Progress: Caption", printf mask of a long

// Commands the grid window answers in WM_COMMAND.
constexpr int GRID_ID_EDIT_COPY = 57634;

// Zoom in percent: the commands are offered while the zoom is inside these bounds.
constexpr int GRID_ZOOM_NORMAL = 100;
constexpr int GRID_ZOOM_IN_BELOW = 300; // Zoom In is enabled while the zoom is below this
constexpr int GRID_ZOOM_OUT_ABOVE = 40; // Zoom Out is enabled while the zoom is above this
constexpr int GRID_ZOOM_MIN = 25;       // SetZoom clamps to [GRID_ZOOM_MIN, GRID_ZOOM_MAX]
constexpr int GRID_ZOOM_MAX = 400;
