#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace murmela {

// Where a slide goes when the user picks it in the share sheet. The raw
// values are the identities the sheet lists the destinations by.
enum class ShareDestination { instagram, iMessage, twitter, tiktok, copyImage, downloadImage };

// Share the slide that asked, or the whole deck.
enum class ShareMode { thisSlide, slideshow };

namespace ShareDestinations {
// Every destination in declaration order.
QList<ShareDestination> allCases();
// "instagram", "iMessage", "twitter", "tiktok", "copyImage", "downloadImage".
QString rawValue(ShareDestination destination);
// Exactly those six strings, case-sensitive; anything else is no destination.
std::optional<ShareDestination> fromRawValue(const QString& raw);
// The four that hand the slide to another application.
bool isSocial(ShareDestination destination);
// The two whose hand-off carries the share text and a link, when there is one.
bool carriesLink(ShareDestination destination);
}  // namespace ShareDestinations

namespace ShareModes {
QList<ShareMode> allCases();
QString rawValue(ShareMode mode);  // "thisSlide", "slideshow"
std::optional<ShareMode> fromRawValue(const QString& raw);
}  // namespace ShareModes

}  // namespace murmela
