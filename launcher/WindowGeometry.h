#ifndef VESTIBAR_WINDOW_GEOMETRY_H
#define VESTIBAR_WINDOW_GEOMETRY_H

#include "launcher/LauncherPlatformClass.h"

constexpr int PAGE_WIDTH = 650;
constexpr int PAGE_HEIGHT = 504;

struct WindowRectangle {
    int left;
    int top;
    int right;
    int bottom;
};

// The window rectangle on screen, and the visible region in window coordinates: the region
// cuts away caption and borders, leaving exactly the 650 x 504 client area.
struct WindowGeometry {
    WindowRectangle window;
    WindowRectangle region;
};

// Centres the client area on the screen; halves truncate toward zero.
WindowGeometry Compute_Window_Geometry(const LauncherPlatformClass::ScreenMetrics& screen);

#endif
