#pragma once

// When the X server goes away (a logout, a crashed server), every X library in the process finds
// out at once: Qt on the UI thread, and Xlib on whatever thread a video sink happened to draw on.
// Each of them calls exit(), and two exits at once run the same destructors on two threads while
// the rest of the program still runs: a crash instead of an exit status. From this call on, a
// broken connection seen by Xlib ends the process at once with status 1, on any thread. Call it
// once the application object exists: Qt installs a handler of its own while it connects.
void EndAtOnceWhenTheDisplayGoes();
