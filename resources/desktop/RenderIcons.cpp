// Build-time tool: renders the application icon into an icon theme folder.
//
//   vessa_render_icons THEME_FOLDER NAME SIZE...
//
// Writes THEME_FOLDER/<size>x<size>/apps/NAME.png for every size, drawn by the same code and from
// the same SVG as the icon the running player shows.

#include "resources/AppIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: vessa_render_icons THEME_FOLDER NAME SIZE...\n");
        return 2;
    }
    for (const QString& text : args.mid(3)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "vessa_render_icons: not a size: %s\n", qPrintable(text));
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        const QString file = folder + QLatin1Char('/') + args[2] + QStringLiteral(".png");
        const QImage image = RenderAppIcon(size);
        // A blank picture means the SVG did not load: a build error, not an icon.
        if (image.isNull() || image.pixelColor(size / 2, size / 2).alpha() == 0 ||
            !QDir().mkpath(folder) || !image.save(file)) {
            std::fprintf(stderr, "vessa_render_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
