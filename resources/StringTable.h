#pragma once

#include <QString>

// The string resources by number; an unknown number gives an empty text.
QString LoadResourceString(int nId);
