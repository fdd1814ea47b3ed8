#pragma once

#include <QByteArray>

// Edits of AVI files for clips that exercise a player's refusals.

// Gives the first video stream the codec fourcc (four characters) in both places a demuxer reads
// it: the stream header's handler and the format's compression. False when the bytes hold no
// video stream header.
bool ReplaceVideoFourcc(QByteArray* avi, const char* fourcc);
