#pragma once

#include <QIcon>
#include <QImage>

// The application icon (icon 140): a film frame with a play triangle. One SVG file is the source
// of the windows' icon, the About box's icon and the icons the install puts in the icon theme.

// The icon drawn at size x size pixels, transparent around the frame.
QImage RenderAppIcon(int size);

// The icon at the sizes the windows and the About box ask for.
QIcon LoadAppIcon();
