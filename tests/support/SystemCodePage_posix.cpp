#include "support/SystemCodePage.h"

unsigned systemCodePage()
{
    return 1256;
}
