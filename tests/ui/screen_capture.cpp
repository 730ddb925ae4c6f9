#include "screen_capture.h"

#include <fstream>
#include <stdexcept>

namespace {

// A screen device context and a memory one holding a 24-bit section, released in reverse order.
class Snapshot {
public:
    Snapshot(int width, int height) : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {
        info_.biSize = sizeof info_;
        info_.biWidth = width;
        info_.biHeight = height;  // bottom-up rows, as a BMP file stores them
        info_.biPlanes = 1;
        info_.biBitCount = 24;
        info_.biCompression = BI_RGB;
        section_ = CreateDIBSection(screen_, reinterpret_cast<BITMAPINFO*>(&info_), DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (section_) old_ = SelectObject(memory_, section_);
    }
    ~Snapshot() {
        if (old_) SelectObject(memory_, old_);
        if (section_) DeleteObject(section_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    bool Take(int left, int top) {
        return section_ && BitBlt(memory_, 0, 0, info_.biWidth, info_.biHeight, screen_, left, top, SRCCOPY);
    }
    const BITMAPINFOHEADER& Info() const { return info_; }
    const char* Bits() const { return static_cast<const char*>(bits_); }
    DWORD BitsSize() const { return static_cast<DWORD>(((info_.biWidth * 3 + 3) & ~3) * info_.biHeight); }

private:
    HDC screen_;
    HDC memory_;
    BITMAPINFOHEADER info_ = {};
    HBITMAP section_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace

void CaptureScreenRectangle(const RECT& rectangle, const std::string& bmp_path) {
    Snapshot snapshot(rectangle.right - rectangle.left, rectangle.bottom - rectangle.top);
    GdiFlush();
    if (!snapshot.Take(rectangle.left, rectangle.top)) throw std::runtime_error("cannot read the screen");
    GdiFlush();
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + snapshot.BitsSize();
    std::ofstream file(bmp_path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    file.write(reinterpret_cast<const char*>(&snapshot.Info()), sizeof(BITMAPINFOHEADER));
    file.write(snapshot.Bits(), snapshot.BitsSize());
    if (!file) throw std::runtime_error("cannot write " + bmp_path);
}
