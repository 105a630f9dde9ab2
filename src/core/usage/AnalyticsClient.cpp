#include "usage/AnalyticsClient.h"

#include "backend/BackendRegistration.h"
#include "common/AppSettings.h"
#include "net/HttpTransport.h"

#include <exception>

namespace murmela {

AnalyticsClient::AnalyticsClient(QString baseUrl, QString appVersion)
    : baseUrl_(std::move(baseUrl)), appVersion_(std::move(appVersion)) {}

bool AnalyticsClient::track(const QString& path, const QByteArray& payload, const std::stop_token& stop) const {
  try {
    const QString token = BackendRegistration::registerInstall(baseUrl_, appVersion_, kTimeoutSeconds, stop);
    const HttpRequest request = jsonPost(baseUrl_, path, payload, token, kTimeoutSeconds);
    return HttpTransport::perform(request, stop).isSuccess();  // the answer's body is never read
  } catch (const std::exception&) {
    return false;
  }
}

void AnalyticsClient::trackAppInstalledIfNeeded(std::stop_token stop) const {
  AppSettings& settings = AppSettings::shared();
  if (settings.value(kDidTrackInstallKey, false).toBool()) return;
  if (track(kAppInstalledPath, AnalyticsBasePayload::current().encode(), stop))
    settings.setValue(kDidTrackInstallKey, true);
}

void AnalyticsClient::trackModeChosen(IntelligenceChoice choice, std::stop_token stop) const {
  track(kChoicePath, ChoiceAnalyticsPayload::make(AnalyticsBasePayload::current(), choice).encode(), stop);
}

void AnalyticsClient::trackMurmelaCreated(HostedAnalysisWorkflow workflow, const WrappedReport& report,
                                          double durationSeconds, std::stop_token stop) const {
  track(kMurmelaCreatedPath,
        MurmelaCreatedAnalyticsPayload::make(AnalyticsBasePayload::current(), workflow, report, durationSeconds)
            .encode(),
        stop);
}

}  // namespace murmela
