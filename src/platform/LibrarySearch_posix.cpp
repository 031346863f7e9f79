#include "platform/LibrarySearch.h"

void restrictLibrarySearch() {}
