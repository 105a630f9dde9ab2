#pragma once

#include "data/ResourceBundle.h"

#include <QString>
#include <QStringList>

namespace murmela {

// The three typefaces the application sets all of its text in.
enum class Typeface { dmSerifDisplay, inter, caveat };

// Registers the resource bundle's font files for this process. The bundled
// files are static instances (Qt draws only the default instance of a variable
// font): Inter Regular, Medium, SemiBold, Bold and Italic, Caveat Regular, DM
// Serif Display Regular and Italic. Installed fonts of the same families are
// hidden from the process, so every weight resolves to the bundled file.
namespace FontRegistry {

// "DM Serif Display", "Inter", "Caveat".
QString familyName(Typeface typeface);

// The five font resources ("ttf"), registered first and in this order.
QStringList fontResourceNames();

// The font files of a bundle in registration order: the five named resources
// that exist, then every other .ttf / .otf file at the top of the bundle by name.
QStringList fontFiles(const ResourceBundle& bundle);

// Registers the fonts of MurmelaResources::bundle() once per process (later
// calls do nothing). Needs a QGuiApplication. Never fails: a missing or
// unreadable file is skipped.
void registerFonts();
bool hasRegistered();

// The files registered so far and the families they provide.
QStringList registeredFiles();
QStringList registeredFamilies();

}  // namespace FontRegistry
}  // namespace murmela
