#include "screen_capture.h"

#include <fstream>
#include <stdexcept>

namespace {

// A screen device context and a memory one holding a 24-bit section, released in reverse order.
class ScreenCopy {
public:
    explicit ScreenCopy(const BITMAPINFOHEADER& info) : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {
        section_ = CreateDIBSection(screen_, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits_,
                                    nullptr, 0);
        if (section_) old_ = SelectObject(memory_, section_);
    }
    ~ScreenCopy() {
        if (old_) SelectObject(memory_, old_);
        if (section_) DeleteObject(section_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    ScreenCopy(const ScreenCopy&) = delete;
    ScreenCopy& operator=(const ScreenCopy&) = delete;

    // The section's bits after copying the screen from (left, top); null when that failed.
    const char* Take(int left, int top, int width, int height) {
        if (!section_ || !BitBlt(memory_, 0, 0, width, height, screen_, left, top, SRCCOPY)) return nullptr;
        GdiFlush();
        return static_cast<const char*>(bits_);
    }

private:
    HDC screen_;
    HDC memory_;
    HBITMAP section_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace

ScreenPicture::ScreenPicture(const RECT& rectangle) {
    info_.biSize = sizeof info_;
    info_.biWidth = rectangle.right - rectangle.left;
    info_.biHeight = rectangle.bottom - rectangle.top;  // positive: bottom-up, as a BMP file stores rows
    info_.biPlanes = 1;
    info_.biBitCount = 24;
    info_.biCompression = BI_RGB;
    ScreenCopy copy(info_);
    const char* bits = copy.Take(rectangle.left, rectangle.top, info_.biWidth, info_.biHeight);
    if (!bits) throw std::runtime_error("cannot read the screen");
    pixels_.assign(bits, bits + ((info_.biWidth * 3 + 3) & ~3) * info_.biHeight);
}

int ScreenPicture::CountPixels(bool (*accept)(int red, int green, int blue)) const {
    const size_t row_size = (info_.biWidth * 3 + 3) & ~3;
    int count = 0;
    for (size_t row = 0; row < static_cast<size_t>(info_.biHeight); ++row)
        for (size_t column = 0; column < static_cast<size_t>(info_.biWidth); ++column) {
            const auto* pixel = reinterpret_cast<const unsigned char*>(&pixels_[row * row_size + column * 3]);
            if (accept(pixel[2], pixel[1], pixel[0])) ++count;  // stored blue, green, red
        }
    return count;
}

void ScreenPicture::Save(const std::string& bmp_path) const {
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info_;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels_.size());
    std::ofstream file(bmp_path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    file.write(reinterpret_cast<const char*>(&info_), sizeof info_);
    file.write(pixels_.data(), static_cast<std::streamsize>(pixels_.size()));
    if (!file) throw std::runtime_error("cannot write " + bmp_path);
}
