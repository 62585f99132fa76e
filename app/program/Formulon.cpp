// formulon: the calculator program. The application object is built before main runs, as the
// classes it serves must exist before a bus client can ask for them.

#include "app/FlnApp.h"

CFlnApp theApp;

int main()
{
    if (!theApp.InitInstance()) {
        theApp.ExitInstance();
        return 1;
    }
    return theApp.Run();
}
