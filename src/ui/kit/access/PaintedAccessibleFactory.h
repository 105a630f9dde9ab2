#pragma once

class QWidget;

namespace murmela {

// Installs the factory of the kit's accessibility interfaces (once per
// process): the painted widgets', the text fields', the application frame's
// and the application's, which lists the announcements that show.
void installPaintedAccessibility();
// Makes a plain top-level widget the application's frame for screen readers
// (Qt would call it a filler), named by its window title. Call before it shows.
void exposeAsApplicationFrame(QWidget* window);

}  // namespace murmela
