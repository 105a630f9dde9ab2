// The coordinator's list of live share links and their revocation.
#include "app/AppCoordinator.h"

#include "sharelinks/ShareLinkError.h"

namespace murmela {
namespace {

// A rate limit and a rejection below 500 (a network failure, status 0,
// included) say what went wrong in their own words; everything else gets the
// fixed text.
QString revocationFailureText(const ShareLinkError& error) {
  const bool ownWords = error.kind() == ShareLinkError::Kind::rateLimited ||
                        (error.kind() == ShareLinkError::Kind::httpFailed && error.status() < 500);
  return ownWords ? error.userFacingMessage() : AppCoordinator::kRevocationFailedText;
}

}  // namespace

void AppCoordinator::refreshActiveShares() {
  workers_.run([this, read = services_.activeShares, post = workers_.post()] {
    // `this` is used only in the posted call (GUI thread, coordinator alive).
    const QList<ShareCacheEntry> shares = read ? read() : QList<ShareCacheEntry>();
    post([this, shares] { setActiveShares(shares); });
  });
}

void AppCoordinator::revokeShare(const ShareCacheEntry& entry) {
  setShareRevocationError(std::nullopt);
  workers_.run([this, revoke = services_.revokeShareLink, shareID = entry.shareID, stop = lifetime_.get_token(),
                post = workers_.post()] {
    std::optional<QString> failure;
    try {
      if (!revoke) throw ShareLinkError::invalidResponse(QStringLiteral("no share-link client"));
      revoke(shareID, stop);
    } catch (const ShareLinkError& error) {
      failure = revocationFailureText(error);
    } catch (...) {
      failure = kRevocationFailedText;
    }
    post([this, failure] {
      if (failure) setShareRevocationError(failure);
      refreshActiveShares();
    });
  });
}

}  // namespace murmela
