#pragma once

#include <QString>

#include <chrono>

// Runs a gst-launch style pipeline whose file sink is named "out" until it ends, writing to
// outPath. The file appears under its final name only once it is complete (it is written beside
// it and renamed), so a file that exists is a finished one. False, with the reason, on an error
// or when the pipeline does not finish in time.
bool EncodeClip(const QString& description, const QString& outPath, std::chrono::seconds timeLimit,
                QString* error);
