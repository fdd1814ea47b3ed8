#include "playback/SessionPointers.h"

std::shared_ptr<IMediaControl> g_pMediaControl;
std::shared_ptr<IMediaSeeking> g_pMediaSeeking;
std::shared_ptr<IBasicAudio> g_pBasicAudio;
std::shared_ptr<IVideoWindow> g_pVideoWindow;
std::shared_ptr<IMediaEventEx> g_pMediaEvent;
