#pragma once

#include <gst/gst.h>

// A video sink reports to the elements before it how early or late each picture it shows came
// (a quality-of-service event). A report travels up through every pad from the sink to the file's
// reader, two dozen of them in playbin, on the sink's thread: one report per picture takes up to a
// tenth of that thread's time. Only lateness makes the decoder or a converter drop pictures, and a
// report of a picture on time only undoes the estimate of the late report before it (it names no
// picture to drop). So the sink passes on every late report, and the first report on time after
// one, and keeps the others to itself: the same pictures are shown and dropped as before.

// Whether `element` is a sink that sends such reports (video sinks do; sound sinks do not).
bool SendsLateReports(GstElement* element);

void PassOnLateReportsOnly(GstElement* sink);
