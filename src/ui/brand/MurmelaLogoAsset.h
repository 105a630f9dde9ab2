#pragma once

#include "data/ResourceBundle.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QSvgRenderer;

namespace murmela {

// A logo picture loaded from the resource bundle: a vector file or a bitmap,
// drawn in its own colours.
class LogoImage {
 public:
  static std::optional<LogoImage> load(const QString& path);

  const QString& path() const { return path_; }
  QSizeF size() const { return size_; }  // its natural size in points
  // Draws it into the rectangle, with smooth scaling.
  void draw(QPainter& painter, const QRectF& target) const;

 private:
  QString path_;
  QSizeF size_;
  std::shared_ptr<QSvgRenderer> vector_;
  QImage bitmap_;
};

// The logo image of the resource bundle, looked up once per process. The
// candidates are tried in order; a file that does not load moves on to the
// next; with none, every logo is drawn as the bubble pair.
namespace MurmelaLogoAsset {

// "murmela_logo.svg", "Assets/murmela_logo.svg", "murmela_logo.png",
// "Assets/murmela_logo.png", as (name, extension).
QList<QPair<QString, QString>> candidates();
// The first candidate of a bundle that loads.
std::optional<LogoImage> find(const ResourceBundle& bundle);
// The application bundle's logo, found on first use and kept (absent included).
const std::optional<LogoImage>& image();

}  // namespace MurmelaLogoAsset
}  // namespace murmela
