#include "splash.h"

#include "resource_ids.h"

namespace {

constexpr char kSplashClass[] = "KestruneSplash";

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(window, &paint);
    return 0;
}

}  // namespace

HWND ShowSplash() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto bitmap = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) return nullptr;
    WNDCLASSA splash_class = {};
    splash_class.lpfnWndProc = SplashProc;
    splash_class.hInstance = instance;
    splash_class.hCursor = LoadCursor(nullptr, IDC_WAIT);
    splash_class.lpszClassName = kSplashClass;
    RegisterClassA(&splash_class);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - info.bmWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - info.bmHeight) / 2;
    HWND splash = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSplashClass, "Kestrune", WS_POPUP, x, y,
                                  info.bmWidth, info.bmHeight, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrA(splash, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap));
    ShowWindow(splash, SW_SHOWNOACTIVATE);
    UpdateWindow(splash);
    return splash;
}

void CloseSplash(HWND splash) {
    if (!splash) return;
    auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(splash, GWLP_USERDATA));
    DestroyWindow(splash);
    DeleteObject(bitmap);
}
