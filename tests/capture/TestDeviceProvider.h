#pragma once

#include <string>
#include <vector>

// A GStreamer device provider of the tests' own, registered in the test process, which lists the
// devices the test asks for as video capture sources. Their source elements are GStreamer's own,
// so the real enumeration and preview code runs on them.

enum class TestSource
{
    Pattern,      // a live colour-bar pattern
    FailsToStart, // a camera source whose device node does not exist
    NoElement,    // the device cannot make a source element at all
};

struct TestDevice
{
    const char* name; // the display name; null: the device has none
    TestSource source = TestSource::Pattern;
};

// Registers the provider once per process and takes every other provider of video sources out of
// the monitor's view, so a camera of the machine cannot mix into the tests' lists.
void RegisterTestDeviceProvider();

// The devices listed from now on, in this order.
void SetTestDevices(const std::vector<TestDevice>& devices);

// The devices are unplugged: none is listed any more, and the newest source fails with a read
// error from its device, as a camera's source does when its cable is pulled. False when no source
// is alive.
bool UnplugTestDevices();

// The names of the devices whose sources exist now, oldest first (a preview's source goes with
// its graph).
std::vector<std::string> LiveTestSources();
