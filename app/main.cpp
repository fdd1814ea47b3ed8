#include "app/CTavCommandLineInfo.h"
#include "app/CTavVideoApp.h"

#include <malloc.h>

namespace {

// The one command line and the one application of the process.
CTavCommandLineInfo cmdInfo;
CTavVideoApp theApp(cmdInfo);

// Pictures are megabytes each, and some decoders hand out each one in freshly allocated memory
// (a copy the decoder base class makes when the decoder keeps the picture for reference). By
// default such blocks are mapped from the system and given back one by one, so every picture
// pays for its pages anew: a fifth of the CPU of playing 720p MPEG-2. Kept for reuse instead,
// up to sizes no picture reaches.
void KeepPictureMemoryForReuse()
{
    constexpr int kLargestPooled = 32 << 20;
    constexpr int kKeptFree = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kLargestPooled);
    mallopt(M_TRIM_THRESHOLD, kKeptFree);
}

} // namespace

int main(int argc, char** argv)
{
    KeepPictureMemoryForReuse();
    return theApp.Run(argc, argv);
}
