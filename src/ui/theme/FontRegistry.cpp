#include "theme/FontRegistry.h"

#include "data/MurmelaResources.h"

#include <QFile>
#include <QFontDatabase>
#include <QMutex>
#include <QSet>

#include <fontconfig/fontconfig.h>

namespace murmela::FontRegistry {
namespace {

struct Registry {
  QMutex mutex;
  bool registered = false;
  QStringList files;
  QStringList families;
};

Registry& registry() {
  static Registry shared;
  return shared;
}

// Every family name a font file declares (typographic and legacy), as
// fontconfig reads them.
QStringList declaredFamilies(const QString& path) {
  QStringList families;
  const QByteArray file = QFile::encodeName(path);
  int faces = 0;
  FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.constData()), 0, nullptr, &faces);
  if (!pattern) return families;
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i)
    families.append(QString::fromUtf8(reinterpret_cast<const char*>(family)));
  FcPatternDestroy(pattern);
  return families;
}

// Installed fonts win over application fonts of the same family and style in
// an order fontconfig chooses, so a system copy of Inter would take some
// weights from us. A fresh fontconfig configuration that rejects installed
// fonts of the bundled families makes the bundled files the only ones. Fonts
// added for the application bypass that filter.
void hideInstalledCopies(const QStringList& families) {
  if (families.isEmpty()) return;
  QString rule = QStringLiteral(
      "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">"
      "<fontconfig><selectfont><rejectfont>");
  for (const QString& family : families) {
    rule += QStringLiteral("<pattern><patelt name=\"family\"><string>") + family.toHtmlEscaped() +
            QStringLiteral("</string></patelt></pattern>");
  }
  rule += QStringLiteral("</rejectfont></selectfont></fontconfig>");

  FcConfig* config = FcInitLoadConfig();
  if (!config) return;
  const QByteArray xml = rule.toUtf8();
  if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.constData()), FcFalse) &&
      FcConfigBuildFonts(config)) {
    FcConfigSetCurrent(config);  // takes its own reference
  }
  FcConfigDestroy(config);
}

}  // namespace

QString familyName(Typeface typeface) {
  switch (typeface) {
    case Typeface::dmSerifDisplay:
      return QStringLiteral("DM Serif Display");
    case Typeface::inter:
      return QStringLiteral("Inter");
    case Typeface::caveat:
      return QStringLiteral("Caveat");
  }
  return QStringLiteral("Inter");
}

QStringList fontResourceNames() {
  return {QStringLiteral("Inter-VariableFont_opsz,wght"), QStringLiteral("Inter-Italic-VariableFont_opsz,wght"),
          QStringLiteral("Caveat-VariableFont_wght"), QStringLiteral("DMSerifDisplay-Regular"),
          QStringLiteral("DMSerifDisplay-Italic")};
}

QStringList fontFiles(const ResourceBundle& bundle) {
  QStringList files;
  for (const QString& name : fontResourceNames()) {
    if (const std::optional<QString> path = bundle.url(name, QStringLiteral("ttf"))) files.append(*path);
  }
  for (const QString& path : bundle.files({QStringLiteral("*.ttf"), QStringLiteral("*.otf")})) {
    if (!files.contains(path)) files.append(path);
  }
  return files;
}

void registerFonts() {
  Registry& shared = registry();
  const QMutexLocker lock(&shared.mutex);
  if (shared.registered) return;
  shared.registered = true;  // before any file is touched: a partial pass is not repeated

  const QStringList files = fontFiles(MurmelaResources::bundle());
  QStringList families;
  for (const QString& file : files) {
    for (const QString& family : declaredFamilies(file))
      if (!families.contains(family)) families.append(family);
  }
  hideInstalledCopies(families);

  for (const QString& file : files) {
    const int id = QFontDatabase::addApplicationFont(file);
    if (id < 0) continue;
    shared.files.append(file);
    for (const QString& family : QFontDatabase::applicationFontFamilies(id))
      if (!shared.families.contains(family)) shared.families.append(family);
  }

  // A font database that was filled before this point still lists the hidden
  // copies; removing an application font makes Qt read everything again.
  if (!shared.files.isEmpty()) {
    const int refresh = QFontDatabase::addApplicationFont(shared.files.first());
    if (refresh >= 0) QFontDatabase::removeApplicationFont(refresh);
  }
}

bool hasRegistered() {
  Registry& shared = registry();
  const QMutexLocker lock(&shared.mutex);
  return shared.registered;
}

QStringList registeredFiles() {
  Registry& shared = registry();
  const QMutexLocker lock(&shared.mutex);
  return shared.files;
}

QStringList registeredFamilies() {
  Registry& shared = registry();
  const QMutexLocker lock(&shared.mutex);
  return shared.families;
}

}  // namespace murmela::FontRegistry
