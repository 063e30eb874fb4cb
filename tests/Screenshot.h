// What a window shows on the screen, and saving it as a 24-bit BMP file below the build
// tree's "screenshots" folder; the test command turns them into PNG files.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/App.h"

namespace qs::test {

struct Shot {
    BITMAPINFOHEADER info;
    std::vector<char> pixels;  // rows of blue, green, red, bottom-up, each padded to 4 bytes
};

// The whole window, or only its client area.
inline Shot TakeShot(HWND window, bool clientOnly = false) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r;
    ::GetWindowRect(window, &r);
    if (clientOnly) {
        ::GetClientRect(window, &r);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    BITMAPINFOHEADER info{sizeof info, r.right - r.left, r.bottom - r.top, 1, 24};
    HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, info.biWidth, info.biHeight);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, info.biWidth, info.biHeight, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    std::vector<char> pixels(static_cast<size_t>((info.biWidth * 3 + 3) & ~3) * static_cast<size_t>(info.biHeight));
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(info.biHeight), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return {info, std::move(pixels)};
}

inline bool SaveScreenshot(HWND window, const std::wstring& name) {
    auto [info, pixels] = TakeShot(window);
    std::filesystem::path folder = std::filesystem::path(App::Path()).parent_path() / L"screenshots";
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / (name + L".bmp"), std::ios::binary);
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    BITMAPFILEHEADER file{0x4D42, offset + static_cast<DWORD>(pixels.size()), 0, 0, offset};
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return out.good();
}

}  // namespace qs::test
