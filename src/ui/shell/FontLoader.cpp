#include "shell/FontLoader.h"

#include "theme/FontRegistry.h"

namespace murmela::FontLoader {

void registerFonts() { FontRegistry::registerFonts(); }

bool hasRegistered() { return FontRegistry::hasRegistered(); }

}  // namespace murmela::FontLoader
