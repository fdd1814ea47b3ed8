#pragma once

#include <array>

// The playlist's file work at one list size, in nanoseconds per entry: saving and loading an M3U
// and a PLS list, a folder scan of a generated tree until every path is inserted, and a Find
// that walks every row without a hit.
enum FileOperation
{
    kSaveM3u,
    kLoadM3u,
    kSavePls,
    kLoadPls,
    kScan,
    kFind,
    kFileOperationCount
};
inline const char* const kFileOperationNames[kFileOperationCount] = {
    "save M3U", "load M3U", "save PLS", "load PLS", "folder scan", "find (no hit)"};

std::array<double, kFileOperationCount> MeasureFileOperations(int entries);
