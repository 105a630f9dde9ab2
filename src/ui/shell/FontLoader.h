#pragma once

namespace murmela {

// The start-up registration of the bundled typefaces, once per process: the
// five named font files of the resource bundle in their order (a missing one
// is skipped, the others still register), then the bundle's other static
// weights. The application calls it before it builds its first window.
namespace FontLoader {

void registerFonts();
bool hasRegistered();

}  // namespace FontLoader
}  // namespace murmela
