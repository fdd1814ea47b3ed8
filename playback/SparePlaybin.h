#pragma once

#include "playback/GstHandle.h"

// One playbin kept empty between the renders of a graph that only measures, so that every file
// after the first is rendered into the same element. A new playbin builds and sorts its own list
// of every decoder and sink during its first preroll, which costs more than the rest of a short
// file's render; a kept one has that list already.
//
// While it is kept it is in its null state with no sinks set: no file, streaming thread, decoder
// or sink of the last render stays, only the element and the parts playbin always holds. A graph
// gives it back only when its render left it clean; one that ended in an error, a time-out or an
// abort is dropped, and the next render gets a new one.
//
// Used by one thread: the one that renders the graphs it serves (the track length loader's).
class CSparePlaybin
{
public:
    CSparePlaybin() = default;
    CSparePlaybin(const CSparePlaybin&) = delete;
    CSparePlaybin& operator=(const CSparePlaybin&) = delete;

    // The kept playbin, or a new one when none is kept (null when it cannot be made). The caller
    // owns it until it gives it back.
    GstElementHandle Take();
    // Keeps a playbin that the caller has brought to its null state, and lets go of its sinks.
    void GiveBack(GstElementHandle playbin);

private:
    GstElementHandle m_playbin;
};
