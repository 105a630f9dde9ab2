#include "screens/onboarding/MurmelaButtonStyles.h"

#include "theme/MurmelaTheme.h"

namespace murmela {

CapsuleButtonStyle MurmelaPrimaryButtonStyle::style() const {
  return {
      .label = TextStyle{.typeface = Typeface::inter,
                         .size = kFontSize,
                         .weight = QFont::DemiBold,
                         .tracking = kTracking,
                         .upperCase = true,
                         .color = MurmelaTheme::cream},
      .padding = kPadding,
      .fill = StateColor{MurmelaTheme::sageDeep, kFillOpacity, kHoveredFillOpacity, kPressedFillOpacity},
      .outline = StateColor{MurmelaTheme::ink, kOutlineOpacity, kOutlineOpacity, kOutlineOpacity},
      .opacity = disabled ? kDisabledOpacity : 1.0,
  };
}

CapsuleButtonStyle MurmelaGhostButtonStyle::style() const {
  return {
      .label = TextStyle{.typeface = Typeface::inter,
                         .size = compact ? kCompactFontSize : kFontSize,
                         .weight = QFont::Medium,
                         .tracking = kTracking,
                         .upperCase = true,
                         .color = MurmelaTheme::inkSoft},
      .padding = compact ? kCompactPadding : kPadding,
      .outline = StateColor{MurmelaTheme::ink, kOutlineOpacity, kHoveredOutlineOpacity, kPressedOutlineOpacity},
  };
}

}  // namespace murmela
