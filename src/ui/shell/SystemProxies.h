#pragma once

#include "net/HttpExchange.h"

namespace murmela {

// The proxies the desktop's settings give (the system configuration Qt reads
// through libproxy: the environment, the desktop's own settings, a PAC file),
// as the transport's lookup: the first HTTP or SOCKS 5 proxy for the
// address, or a direct connection where they say so.
ProxyLookup systemProxyLookup();

}  // namespace murmela
