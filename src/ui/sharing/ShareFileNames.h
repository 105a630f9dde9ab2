#pragma once

#include <QString>

namespace murmela::ShareFileNames {

// A name made safe for the slideshow's folder and files: letters, marks and
// digits of any script, "-" and "_" are kept, every other character becomes
// "-", runs of "-" collapse and leading and trailing ones go; "conversation"
// when nothing is left.
QString safeFilename(const QString& name);

// "murmela-<name with every '/' as '-'>-slide-<NN>.png" for the slide at
// `index` (NN = index + 1, two digits): only the slash is replaced.
QString singleSlideFileName(const QString& participantName, int index);
// "murmela-<safe>-slideshow".
QString slideshowFolderName(const QString& participantName);
// "murmela-<safe>-<NN>.png" for slide number `number` (1 ... 14).
QString slideshowFileName(const QString& participantName, int number);

// A chosen save path with ".png" at its end (added when missing).
QString withPngSuffix(const QString& path);

}  // namespace murmela::ShareFileNames
