#include "playback/TrackLengthHandOver.h"

CAutoResetEvent* g_hTrackLengthEvent = nullptr;
QString g_strLengthPath;
std::atomic<std::int32_t> g_bLoaderBusy{0};
double g_dTrackLength = 0.0;
