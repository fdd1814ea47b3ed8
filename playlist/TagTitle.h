#pragma once

#include "playlist/TrackList.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// Reads the ID3v1 title from the last 128 bytes of the entry's file into its title and returns
// the title. A file that is not a regular file, cannot be opened, is 128 bytes or shorter, or
// carries no "TAG" leaves the stored title as it is. Only regular files are opened: opening a
// FIFO would block the UI thread until a writer appears, and a device may have side effects.
QString ReadTagTitle(TrackList& tracks, std::int32_t index);

// The bytes of a tag's title field (up to the first zero byte) as text: UTF-8 where they are
// valid UTF-8, otherwise Latin-1. A full 30-byte field whose UTF-8 text was cut inside its last
// character keeps the complete characters before the cut.
QString DecodeTagText(const QByteArray& bytes);
