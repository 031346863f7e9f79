#pragma once

#include <optional>

// The title bar and borders that the system puts around the client area of an ordinary resizable top-level
// window, in device pixels.
struct WindowFrame
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The frame of such a window on the primary screen, at that screen's own scale; nothing where the frame is the
// window manager's and unknown until a window is shown (X11, Wayland).
std::optional<WindowFrame> primaryScreenWindowFrame();
