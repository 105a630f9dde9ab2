#pragma once

// The reader side of the painted widgets: the widget's interface and the
// factory that installs it.
#include "kit/access/PaintedAccessibleFactory.h"
#include "kit/access/PaintedWidgetAccessible.h"
