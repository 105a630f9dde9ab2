#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

namespace murmela {

// The window and application icon: the product's double-bubble mark on a
// cream rounded square, drawn at each of the usual icon sizes.
namespace ApplicationIcon {

QList<int> sizes();  // in pixels: 16 ... 512
QImage image(int pixels);
QIcon icon();

}  // namespace ApplicationIcon
}  // namespace murmela
