#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <ostream>

// Readable values in test failure messages.
inline void PrintTo(const QRect& rc, std::ostream* os)
{
    *os << "QRect(" << rc.x() << ", " << rc.y() << ", " << rc.width() << " x " << rc.height()
        << ")";
}

inline void PrintTo(const QSize& size, std::ostream* os)
{
    *os << "QSize(" << size.width() << " x " << size.height() << ")";
}

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
