#include "app/Application.h"
#include "platform/LibrarySearch.h"

int main(int argc, char* argv[])
{
    restrictLibrarySearch();
    Application application(argc, argv);
    return application.run();
}
