#include "platform/LibrarySearch.h"

#include <windows.h>

void restrictLibrarySearch()
{
    // The default for LoadLibrary and for the libraries they need in turn, from here on; SetDllDirectoryW(L"")
    // takes the current folder out of the older search order as well, for a caller that asks for it.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
}
