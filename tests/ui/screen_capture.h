// Pictures of what the screen shows, as 24-bit BMP files. The screen is read rather than the
// window asked to paint itself: a device context cannot be lent to another process, and the
// screen also shows the message boxes over the window.
#pragma once

#include <windows.h>

#include <string>

// Writes the rectangle (screen coordinates) to bmp_path; throws std::runtime_error on failure.
void CaptureScreenRectangle(const RECT& rectangle, const std::string& bmp_path);
