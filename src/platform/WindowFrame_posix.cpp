#include "platform/WindowFrame.h"

std::optional<WindowFrame> primaryScreenWindowFrame()
{
    return std::nullopt;
}
