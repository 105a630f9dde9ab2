// murmela-app-icon: writes the application icon, drawn from the logo, as PNG
// files in the layout of a freedesktop icon theme:
//   murmela-app-icon <theme folder> <icon name> <size>...
// writes <theme folder>/<size>x<size>/apps/<icon name>.png for every size.
// The installation needs these files, so this tool is built with the
// application itself (src/app), whether or not the development tools are.
#include "shell/ApplicationIcon.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[]) {
  // The mark is paths and strokes drawn into images: no application object,
  // no platform plugin and no display are needed.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  if (arguments.size() < 3) {
    std::fprintf(stderr, "usage: murmela-app-icon <theme folder> <icon name> <size>...\n");
    return 2;
  }
  const QDir theme(arguments[0]);
  const QString name = arguments[1];
  for (const QString& text : arguments.mid(2)) {
    bool valid = false;
    const int pixels = text.toInt(&valid);
    if (!valid || pixels < 1 || pixels > 4096) {
      std::fprintf(stderr, "murmela-app-icon: not a size: %s\n", qPrintable(text));
      return 2;
    }
    const QString folder = theme.filePath(QStringLiteral("%1x%1/apps").arg(pixels));
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!QDir().mkpath(folder) || !murmela::ApplicationIcon::image(pixels).save(path, "PNG")) {
      std::fprintf(stderr, "murmela-app-icon: could not write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
