#pragma once

#include <QColor>
#include <QtGlobal>

#include <vector>

struct _XDisplay;

// A test's own look at the X server: which top-level windows get mapped, and what colour a point
// on the screen has. Its own connection, so it sees what any client draws.
class CXScreenProbe
{
public:
    CXScreenProbe();
    ~CXScreenProbe();
    CXScreenProbe(const CXScreenProbe&) = delete;
    CXScreenProbe& operator=(const CXScreenProbe&) = delete;

    bool IsOpen() const { return m_pDisplay != nullptr; }

    // Top-level windows mapped since the last call (or since the probe was made).
    std::vector<quintptr> TakeMappedTopLevels();

    // The colour on the screen at a point of a window, in that window's coordinates.
    QColor ColorAt(quintptr window, int x, int y);

private:
    _XDisplay* m_pDisplay = nullptr;
};

// Colours within a tolerance per channel (JPEG and colour conversion shift them a little).
bool IsNear(const QColor& actual, const QColor& expected, int tolerance = 40);
