#include "shell/SystemProxies.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QUrl>

namespace murmela {

ProxyLookup systemProxyLookup() {
  return [](const QUrl& url) -> std::optional<ProxyRoute> {
    for (const QNetworkProxy& proxy : QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(url))) {
      QByteArray scheme;
      switch (proxy.type()) {
        case QNetworkProxy::NoProxy:
          return ProxyRoute{};
        case QNetworkProxy::HttpProxy:
        case QNetworkProxy::HttpCachingProxy:
          scheme = "http://";
          break;
        case QNetworkProxy::Socks5Proxy:
          scheme = "socks5h://";
          break;
        default:
          continue;  // one libcurl cannot speak through: the next
      }
      return ProxyRoute{.address = scheme + QUrl::toAce(proxy.hostName()) + ':' + QByteArray::number(proxy.port()),
                        .user = proxy.user().toUtf8(),
                        .password = proxy.password().toUtf8()};
    }
    return std::nullopt;
  };
}

}  // namespace murmela
