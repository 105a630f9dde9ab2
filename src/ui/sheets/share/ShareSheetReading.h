#pragma once

#include "kit/access/ShownText.h"
#include "kit/widgets/ButtonHost.h"
#include "sheets/share/ShareSheetLayout.h"

#include <QList>

namespace murmela {

// What a screen reader is told of one of the share sheet's targets (its
// role, name, description and whether it is on), from the layout that
// paints it; the id and action are the sheet's.
ButtonTarget readerTarget(const ShareSheetLayout& layout, const ShareSheetState& state, const SheetTargetRect& placed);

// The texts the sheet shows on its page, in reading order.
QList<ShownText> shownSheetTexts(const ShareSheetLayout& layout);

}  // namespace murmela
