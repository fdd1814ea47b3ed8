#include "capture/CaptureGlobals.h"

std::unique_ptr<ISampleCaptureGraphBuilder> g_pCaptureBuilder;
std::shared_ptr<IBaseFilter> g_pCaptureSource;

void ReleaseCaptureGraph()
{
    g_pCaptureBuilder.reset();
    g_pCaptureSource.reset();
}
