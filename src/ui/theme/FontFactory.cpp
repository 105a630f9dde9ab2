#include "theme/FontFactory.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace murmela::FontFactory {

int fontDpi() {
  // The rule QFont itself follows for a font with no paint device.
  if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) return 96;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return qRound(screen->logicalDotsPerInchY());
  }
  return 100;
}

qreal logicalSize(const QFont& font) {
  if (font.pixelSize() > 0) return font.pixelSize();
  return font.pointSizeF() * fontDpi() / 72.0;
}

QFont resized(const QFont& font, qreal points) {
  QFont copy = font;
  copy.setPointSizeF(std::max(points, 0.01) * 72.0 / fontDpi());
  return copy;
}

QFont font(Typeface typeface, qreal points, QFont::Weight weight, bool italic) {
  QFont result(FontRegistry::familyName(typeface));
  result.setWeight(weight);
  result.setItalic(italic);
  result.setHintingPreference(QFont::PreferNoHinting);
  result.setStyleStrategy(QFont::PreferAntialias);
  result.setKerning(true);
  return resized(result, points);
}

QString emojiFamily() { return QStringLiteral("Noto Color Emoji"); }

QFont emojiFont(qreal points) {
  QFont result(emojiFamily());
  result.setHintingPreference(QFont::PreferNoHinting);
  return resized(result, points);
}

}  // namespace murmela::FontFactory
