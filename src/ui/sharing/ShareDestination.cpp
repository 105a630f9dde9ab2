#include "sharing/ShareDestination.h"

#include <array>
#include <utility>

namespace murmela {
namespace {

constexpr std::array<std::pair<ShareDestination, const char*>, 6> kDestinations = {{
    {ShareDestination::instagram, "instagram"},
    {ShareDestination::iMessage, "iMessage"},
    {ShareDestination::twitter, "twitter"},
    {ShareDestination::tiktok, "tiktok"},
    {ShareDestination::copyImage, "copyImage"},
    {ShareDestination::downloadImage, "downloadImage"},
}};

constexpr std::array<std::pair<ShareMode, const char*>, 2> kModes = {{
    {ShareMode::thisSlide, "thisSlide"},
    {ShareMode::slideshow, "slideshow"},
}};

template <typename Enum, size_t N>
QList<Enum> casesOf(const std::array<std::pair<Enum, const char*>, N>& table) {
  QList<Enum> cases;
  for (const auto& [value, raw] : table) cases.append(value);
  return cases;
}

template <typename Enum, size_t N>
QString rawOf(const std::array<std::pair<Enum, const char*>, N>& table, Enum value) {
  for (const auto& [candidate, raw] : table)
    if (candidate == value) return QString::fromLatin1(raw);
  return {};
}

template <typename Enum, size_t N>
std::optional<Enum> parse(const std::array<std::pair<Enum, const char*>, N>& table, const QString& raw) {
  for (const auto& [value, name] : table)
    if (raw == QLatin1String(name)) return value;
  return std::nullopt;
}

}  // namespace

namespace ShareDestinations {
QList<ShareDestination> allCases() { return casesOf(kDestinations); }
QString rawValue(ShareDestination destination) { return rawOf(kDestinations, destination); }
std::optional<ShareDestination> fromRawValue(const QString& raw) { return parse(kDestinations, raw); }

bool isSocial(ShareDestination destination) {
  switch (destination) {
    case ShareDestination::instagram:
    case ShareDestination::iMessage:
    case ShareDestination::twitter:
    case ShareDestination::tiktok:
      return true;
    case ShareDestination::copyImage:
    case ShareDestination::downloadImage:
      return false;
  }
  return false;
}

bool carriesLink(ShareDestination destination) {
  return destination == ShareDestination::iMessage || destination == ShareDestination::twitter;
}
}  // namespace ShareDestinations

namespace ShareModes {
QList<ShareMode> allCases() { return casesOf(kModes); }
QString rawValue(ShareMode mode) { return rawOf(kModes, mode); }
std::optional<ShareMode> fromRawValue(const QString& raw) { return parse(kModes, raw); }
}  // namespace ShareModes

}  // namespace murmela
