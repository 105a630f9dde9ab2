#pragma once

#include <QColor>

#include <array>

namespace murmela {

namespace theme_detail {
// A 0...1 component at QColor's 16-bit precision, rounded as QColor::fromRgbF does.
constexpr ushort component(double value) { return static_cast<ushort>(value * 65535.0 + 0.5); }
constexpr QColor srgb(double red, double green, double blue) {
  return QColor(QColor::Rgb, 0xffff, component(red), component(green), component(blue));
}
}  // namespace theme_detail

// The one colour palette of the application. Every colour is an opaque sRGB
// colour made from three-decimal components (none of them a multiple of
// 1/255, so they are kept at QColor's 16-bit precision rather than as 8-bit
// hex). Translucent variants are made where a colour is used, with
// withOpacity(); the palette holds none, and it does not follow the system's
// light or dark appearance. The colours are constant expressions, so style
// constants elsewhere may be built from them at any point of start-up.
struct MurmelaTheme {
  MurmelaTheme() = delete;

  static constexpr QColor cream = theme_detail::srgb(0.957, 0.933, 0.902);
  static constexpr QColor creamDeep = theme_detail::srgb(0.929, 0.894, 0.827);
  static constexpr QColor sage = theme_detail::srgb(0.612, 0.576, 0.769);
  static constexpr QColor sageDeep = theme_detail::srgb(0.435, 0.392, 0.596);
  static constexpr QColor ink = theme_detail::srgb(0.165, 0.141, 0.220);
  static constexpr QColor inkSoft = theme_detail::srgb(0.353, 0.322, 0.431);
  static constexpr QColor gold = theme_detail::srgb(0.839, 0.690, 0.416);
  static constexpr QColor rose = theme_detail::srgb(0.812, 0.541, 0.639);

  // The heatmap ramp, cold to hot: heat[0] is cream, heat[4] is rose.
  static constexpr std::array<QColor, 6> heat = {
      theme_detail::srgb(0.957, 0.933, 0.902), theme_detail::srgb(0.925, 0.875, 0.816),
      theme_detail::srgb(0.902, 0.780, 0.722), theme_detail::srgb(0.863, 0.647, 0.596),
      theme_detail::srgb(0.812, 0.541, 0.639), theme_detail::srgb(0.541, 0.349, 0.451),
  };

  // The heat step of an intensity t in 0...1: heat[clamp(int(6 t), 0, 5)], so
  // t = 1 lands on the last step. A t that is not a number is the first step.
  static int heatIndex(double t);
  static QColor heatColor(double t) { return heat[static_cast<size_t>(heatIndex(t))]; }
};

// A colour at an opacity (0...1), for the translucent uses of the palette.
QColor withOpacity(const QColor& color, qreal opacity);

}  // namespace murmela
