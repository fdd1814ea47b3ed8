#pragma once

#include <QtGlobal>

// A native window that is never shown. A video sink that prepares its output before the caller
// has named the window to draw into would otherwise open a top-level window of its own, which
// flashes up on the screen; the sink is given this window instead until the real one is known,
// and again whenever the picture is hidden.
//
// Created on first use, once per process, on its own display connection, which stays open for
// the life of the process (closing it would destroy the window). 0 when there is no display.
quintptr ParkingWindowHandle();
