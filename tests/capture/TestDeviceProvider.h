#pragma once

#include <string>
#include <vector>

// A GStreamer device provider of the tests' own, registered in the test process, which lists the
// devices the test asks for as video capture sources. Each device's source element is made by
// GStreamer's test sources, so the real enumeration and preview code runs on it.

enum class TestSource
{
    Pattern,      // a live colour-bar pattern
    FailsToStart, // a camera source whose device node does not exist
    NoElement,    // the device cannot make a source element at all
};

struct TestDevice
{
    std::string strName; // the display name
    bool bHasName = true;
    TestSource source = TestSource::Pattern;
};

// Registers the provider once per process and takes every other provider of video sources out of
// the monitor's view, so a camera of the machine cannot mix into the tests' lists.
void RegisterTestDeviceProvider();

// The devices listed from now on, in this order.
void SetTestDevices(const std::vector<TestDevice>& devices);

// The device is unplugged: it is no longer listed, and the source it made last fails with a read
// error from its device as a camera's source does when its cable is pulled. False when no source
// of that device is alive.
bool UnplugTestDevice(const std::string& strName);

// Sources of the tests' devices that exist now (a preview's source goes with its graph).
int LiveTestSources();
