#include "support/SystemCodePage.h"

#include <windows.h>

unsigned systemCodePage()
{
    return GetACP();
}
