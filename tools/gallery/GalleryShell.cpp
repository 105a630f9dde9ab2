// The application icon at the sizes the window system asks for.
#include "GalleryRegistry.h"

#include "shell/ApplicationIcon.h"

#include <QPainter>

namespace murmela::gallery {
namespace {

void buildShellPage(GalleryPage& page) {
  for (const QColor& backdrop : {QColor(236, 236, 236), QColor(40, 40, 46)}) {
    const bool dark = backdrop.lightness() < 128;
    qreal width = 8.0;
    for (int pixels : ApplicationIcon::sizes()) width += pixels + 8.0;
    page.add(dark ? QStringLiteral("shell-icon-dark") : QStringLiteral("shell-icon-light"), QSizeF(width, 528),
             [backdrop](QPainter& painter) {
               painter.fillRect(QRectF(0, 0, 4096, 528), backdrop);
               qreal x = 8.0;
               for (int pixels : ApplicationIcon::sizes()) {
                 painter.drawImage(QRectF(x, 8, pixels, pixels), ApplicationIcon::image(pixels));
                 x += pixels + 8.0;
               }
             },
             dark ? QStringLiteral("the application icon, 16 to 512 pixels, on a dark panel")
                  : QStringLiteral("the application icon, 16 to 512 pixels, on a light panel"),
             {1.0});
  }
}

}  // namespace

MURMELA_GALLERY_AREA(shell, "Application shell", 90, buildShellPage);

}  // namespace murmela::gallery
