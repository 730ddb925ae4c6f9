// Pictures of what the screen shows, saved as 24-bit BMP files. The screen is read rather than
// the window asked to paint itself: a device context cannot be lent to another process, and
// the screen also shows the message boxes over the window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ScreenPicture {
public:
    // Reads the rectangle (screen coordinates); throws std::runtime_error when it cannot.
    explicit ScreenPicture(const RECT& rectangle);

    bool operator==(const ScreenPicture& other) const { return pixels_ == other.pixels_; }
    // How many pixels the predicate accepts, given each pixel's red, green and blue.
    int CountPixels(bool (*accept)(int red, int green, int blue)) const;
    bool operator!=(const ScreenPicture& other) const { return !(*this == other); }
    // Throws std::runtime_error when the file cannot be written.
    void Save(const std::string& bmp_path) const;

private:
    BITMAPINFOHEADER info_ = {};
    std::vector<char> pixels_;  // bottom-up rows of 24-bit pixels, each padded to 4 bytes
};
