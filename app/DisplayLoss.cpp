#include "app/DisplayLoss.h"

#ifdef VESSA_HAVE_X11
#include <X11/Xlib.h>
#endif

#include <unistd.h>

#ifdef VESSA_HAVE_X11
namespace {

// Xlib calls exit() itself once this returns; it never does.
int EndAtOnce(Display*)
{
    ::_exit(1);
}

} // namespace
#endif

void EndAtOnceWhenTheDisplayGoes()
{
#ifdef VESSA_HAVE_X11
    XSetIOErrorHandler(EndAtOnce);
#endif
}
