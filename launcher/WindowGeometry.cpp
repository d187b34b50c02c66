#include "launcher/WindowGeometry.h"

WindowGeometry Compute_Window_Geometry(const LauncherPlatformClass::ScreenMetrics& screen)
{
    const int bx = screen.border_width;
    const int by = screen.border_height;
    const int c = screen.caption_height;
    WindowGeometry geometry;
    geometry.window.left = (screen.width - PAGE_WIDTH) / 2 - bx;
    geometry.window.top = (screen.height - PAGE_HEIGHT) / 2 - c - by;
    geometry.window.right = bx + (screen.width + PAGE_WIDTH) / 2;
    geometry.window.bottom = by + (screen.height + PAGE_HEIGHT) / 2;
    geometry.region = {bx, by + c, bx + PAGE_WIDTH, by + c + PAGE_HEIGHT};
    return geometry;
}
