#pragma once

#include "backend/BackendWireRecords.h"

#include <QString>

#include <stop_token>

namespace murmela {

// The analytics client's copy of the registration records: the same fields
// and keys as the hosted client's.
using AnalyticsRegisterRequest = RegisterRequest;
using AnalyticsRegisterResponse = RegisterResponse;

// Every use of the backend is preceded by a registration that yields a bearer
// token; no token is kept.
namespace BackendRegistration {

inline const QString kPath = QStringLiteral("/v1/register");
constexpr double kAnalyticsTimeoutSeconds = 15.0;

// {install_id: AppInstallIdentity::current(), app_version, platform: "macos"}.
RegisterRequest makeRequest(const QString& appVersion);

// The plain registration exchange (the analytics client's): POST base URL +
// "/v1/register" with a compact JSON body and no Authorization header.
// Returns the "auth_token" of a 2xx answer. Throws TransportError (or
// CancellationError) unchanged when no answer came; TransportError
// badServerResponse for an answer that is not HTTP or has a status outside
// 200 to 299 (its body is not read); Json::DecodingError when the body holds
// no string "auth_token".
QString registerInstall(const QString& baseUrl, const QString& appVersion,
                        double timeoutSeconds = kAnalyticsTimeoutSeconds, std::stop_token stop = {});

}  // namespace BackendRegistration

}  // namespace murmela
