#include "calendar/view/win32/WindowPicture.h"

#include <vector>

namespace quirn::vorncal {

namespace {
constexpr int kBitsPerPixel = 32;
constexpr int kBytesPerPixel = 4;  // blue, green, red, unused
}  // namespace

std::optional<Picture> windowPicture(HWND window) {
    RECT client;
    if (!GetClientRect(window, &client)) return std::nullopt;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return std::nullopt;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> bgrx(static_cast<size_t>(width) * height * kBytesPerPixel);
    const bool read = copied && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bgrx.data(),
                                          &info, DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    if (!read) return std::nullopt;

    Picture p;
    p.width = width;
    p.height = height;
    p.rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < bgrx.size(); i += kBytesPerPixel) {
        p.rgb.push_back(bgrx[i + 2]);
        p.rgb.push_back(bgrx[i + 1]);
        p.rgb.push_back(bgrx[i]);
    }
    return p;
}

}  // namespace quirn::vorncal
