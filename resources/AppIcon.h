#pragma once

#include <QIcon>

// The application icon (icon 140): a film frame with a play triangle, drawn at the usual sizes.
QIcon LoadAppIcon();
