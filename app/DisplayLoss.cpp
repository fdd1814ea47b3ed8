#include "app/DisplayLoss.h"

#ifdef VESSA_HAVE_X11
#include <X11/Xlib.h>
#endif

#include <csignal>
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
    // The X libraries write to their socket with writev(), which raises SIGPIPE when the server
    // has just gone: the process would die of the signal before any library saw the error.
    // Ignored, the write fails with EPIPE and the error handlers end the process as below.
    std::signal(SIGPIPE, SIG_IGN);
#ifdef VESSA_HAVE_X11
    XSetIOErrorHandler(EndAtOnce);
#endif
}
