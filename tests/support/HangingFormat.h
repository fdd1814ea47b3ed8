#pragma once

#include <QString>

// A file format whose demuxer takes every byte and never offers a stream: a pipeline that reads
// such a file never gets ready. Registered in the test process itself (a type finder for the
// file's first bytes and a demuxer of the highest rank), for tests of what happens to a render
// that hangs. False when GStreamer refused the registration.
bool RegisterHangingFormat();
// Registers the format and writes a file in it, "hangs.avi", into the folder; its path, or an
// empty text when either failed.
QString WriteHangingFile(const QString& folder);
