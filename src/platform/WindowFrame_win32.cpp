#include "platform/WindowFrame.h"

#include <windows.h>

#include <shellscalingapi.h>

std::optional<WindowFrame> primaryScreenWindowFrame()
{
    // The frame is drawn at the monitor's own scale, whatever scale the program draws its client area at.
    UINT dpiX = 0;
    UINT dpiY = 0;
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (FAILED(GetDpiForMonitor(primary, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)))
        dpiY = GetDpiForSystem();
    RECT rect{0, 0, 0, 0};
    if (!AdjustWindowRectExForDpi(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0, dpiY))
        return std::nullopt;
    return WindowFrame{-rect.left, -rect.top, rect.right, rect.bottom};
}
