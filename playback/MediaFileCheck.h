#pragma once

#include "common/Result.h"

#include <QString>

// Whether a path may be handed to a decoder at all: only a regular, non-empty file. Anything else
// is refused before it is opened: a FIFO blocks its reader until a writer comes, a device reads
// without end, a folder or a missing file has nothing to play.
// S_OK, VFW_E_NOT_FOUND (missing), E_FAIL (not a regular file, or not accessible) or
// VFW_E_UNSUPPORTED_STREAM (empty).
HRESULT CheckMediaFile(const QString& path);
