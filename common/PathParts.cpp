#include "common/PathParts.h"

PathParts PathParts::Split(const QString& path)
{
    PathParts parts;
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    parts.dir = path.left(nameStart);
    const QString name = path.mid(nameStart);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        parts.fname = name;
    } else {
        parts.fname = name.left(dot);
        parts.ext = name.mid(dot);
    }
    return parts;
}
