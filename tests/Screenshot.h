// Saves what a window shows on the screen as a 24-bit BMP file below the build tree's
// "screenshots" folder; the test command turns them into PNG files.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/App.h"

namespace qs::test {

inline bool SaveScreenshot(HWND window, const std::wstring& name) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r;
    ::GetWindowRect(window, &r);
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
