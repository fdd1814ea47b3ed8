#pragma once

#include "resources/ControlTable.h"
#include "resources/Resource.h"

// The capture source chooser (dialog 103): its control IDs and its table.
inline constexpr int IDC_DEVICE_LIST = 1011;
inline constexpr int IDC_DEVICE_GROUP = 1012;

// The rows are in template order, which is also the stacking and tab order.
const res::DialogTemplate& SourceChooserDialogTemplate();
