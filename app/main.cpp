#include "app/CTavCommandLineInfo.h"
#include "app/CTavVideoApp.h"

namespace {

// The one command line and the one application of the process.
CTavCommandLineInfo cmdInfo;
CTavVideoApp theApp(cmdInfo);

} // namespace

int main(int argc, char** argv)
{
    return theApp.Run(argc, argv);
}
