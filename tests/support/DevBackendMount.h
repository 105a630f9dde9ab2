#pragma once

// For tests that link murmela_dev_backend: serves the development backend
// from a scripted server. Scripted answers queued for a path still come first.
#include "DevBackend.h"
#include "support/ScriptedHttpServer.h"

namespace murmela::test {

inline void mountDevBackend(ScriptedHttpServer& server, devbackend::DevBackend& backend) {
  server.setFallback([&backend](const RecordedRequest& request) {
    const devbackend::DevResponse answer = backend.handle({request.method, request.path, request.headers, request.body});
    ScriptedResponse response;
    response.status = answer.status;
    response.body = answer.body;
    response.headers.append({QByteArrayLiteral("Content-Type"), answer.contentType});
    return response;
  });
}

}  // namespace murmela::test
