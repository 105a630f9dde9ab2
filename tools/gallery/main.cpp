// Renders the gallery: every registered area's pictures as PNG files under the
// folder given on the command line, and an index.html showing them.
//   gallery <output folder> [--area <area>] [--only <area or name prefix>] [--locale en_US]
// --area renders that one area only (the tests render one area each).
#include "GalleryRegistry.h"

#include "kit/motion/Motion.h"
#include "theme/FontRegistry.h"

#include <QDir>
#include <QFile>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cstdio>

using namespace murmela;
using namespace murmela::gallery;

namespace {

QString scaleSuffix(qreal scale) { return QStringLiteral("@%1x").arg(scale); }

QString fileName(const GalleryEntry& entry, qreal scale) {
  return entry.name + scaleSuffix(scale) + QStringLiteral(".png");
}

bool render(const GalleryEntry& entry, qreal scale, const QString& path) {
  QImage image((entry.size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(entry.background);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    entry.paint(painter);
  }
  return image.save(path, "PNG");
}

QString htmlEscaped(const QString& text) { return text.toHtmlEscaped(); }

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);  // a widget application: screens are widgets
  QStringList arguments = app.arguments().mid(1);
  QString only;
  QString oneArea;
  QString localeName = QStringLiteral("en_US");
  QString output;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == QLatin1String("--only") && i + 1 < arguments.size()) {
      only = arguments[++i];
    } else if (arguments[i] == QLatin1String("--area") && i + 1 < arguments.size()) {
      oneArea = arguments[++i];
    } else if (arguments[i] == QLatin1String("--locale") && i + 1 < arguments.size()) {
      localeName = arguments[++i];
    } else if (output.isEmpty()) {
      output = arguments[i];
    }
  }
  if (output.isEmpty()) {
    std::fprintf(stderr, "usage: gallery <output folder> [--area <area>] [--only <prefix>] [--locale en_US]\n");
    return 2;
  }
  if (!QDir().mkpath(output)) {
    std::fprintf(stderr, "gallery: cannot create %s\n", qPrintable(output));
    return 1;
  }
  QLocale::setDefault(QLocale(localeName));
  FontRegistry::registerFonts();
  Motion::setEnabled(false);

  QString html;
  QTextStream page(&html);
  page << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Murmela gallery</title>\n"
          "<style>body{font:13px sans-serif;background:#ddd;margin:16px}"
          "section{margin-bottom:32px}.row{display:flex;flex-wrap:wrap;gap:16px;align-items:flex-start}"
          "figure{margin:0;background:#fff;padding:8px}figcaption{max-width:390px;margin-top:4px}"
          "img{display:block;background:repeating-conic-gradient(#eee 0 25%,#fff 0 50%) 0 0/16px 16px}"
          "</style></head><body>\n<h1>Murmela gallery</h1>\n";
  int written = 0;
  int failed = 0;
  bool areaFound = false;
  for (const GalleryArea& area : areas()) {
    if (!oneArea.isEmpty() && area.id != oneArea) continue;
    areaFound = true;
    GalleryPage contents;
    area.build(contents);
    QList<GalleryEntry> chosen;
    for (const GalleryEntry& entry : contents.entries())
      if (only.isEmpty() || area.id.startsWith(only) || entry.name.startsWith(only)) chosen.append(entry);
    if (chosen.isEmpty()) continue;
    page << "<section><h2>" << htmlEscaped(area.title) << "</h2><div class=\"row\">\n";
    for (const GalleryEntry& entry : chosen) {
      for (const qreal scale : entry.scales) {
        const QString name = fileName(entry, scale);
        if (render(entry, scale, QDir(output).filePath(name))) {
          ++written;
        } else {
          ++failed;
          std::fprintf(stderr, "gallery: could not write %s\n", qPrintable(name));
        }
        page << "<figure><img src=\"" << name << "\" width=\"" << entry.size.width() << "\" height=\""
             << entry.size.height() << "\" alt=\"" << htmlEscaped(entry.name) << "\"><figcaption><b>"
             << htmlEscaped(entry.name) << "</b> " << scaleSuffix(scale) << "<br>" << htmlEscaped(entry.caption)
             << "</figcaption></figure>\n";
      }
    }
    page << "</div></section>\n";
  }
  if (!areaFound) {
    std::fprintf(stderr, "gallery: no area %s\n", qPrintable(oneArea));
    return 2;
  }
  page << "</body></html>\n";
  page.flush();
  QFile index(QDir(output).filePath(QStringLiteral("index.html")));
  if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate) || index.write(html.toUtf8()) < 0) {
    std::fprintf(stderr, "gallery: could not write index.html\n");
    return 1;
  }
  std::printf("gallery: %d pictures in %s\n", written, qPrintable(output));
  return failed == 0 ? 0 : 1;
}
