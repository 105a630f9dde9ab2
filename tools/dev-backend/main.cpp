// murmela-dev-backend: a local stand-in for the hosted backend, for
// development and end-to-end runs. Serves until it is killed.
#include "DevBackend.h"
#include "DevHttpServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QTextStream>

using namespace murmela::devbackend;

namespace {

// The answer a refusal file holds, or nothing while there is no such file.
std::optional<DevResponse> refusalFrom(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  DevResponse response;
  bool statusValid = false;
  response.status = file.readLine().trimmed().toInt(&statusValid);
  if (!statusValid || response.status < 400 || response.status > 599) response.status = 500;
  response.body = file.readAll();
  if (!response.body.trimmed().startsWith('{')) response.contentType = "text/html; charset=utf-8";
  response.note = QStringLiteral("share refused by %1").arg(path);
  return response;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("murmela-dev-backend"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Local development backend for Murmela."));
  parser.addHelpOption();
  const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on (default 8787)."),
                                      QStringLiteral("port"), QStringLiteral("8787"));
  const QCommandLineOption hostOption(QStringLiteral("host"),
                                      QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                      QStringLiteral("address"), QStringLiteral("127.0.0.1"));
  const QCommandLineOption limitOption(QStringLiteral("share-limit"),
                                       QStringLiteral("Share links per install and day (default 20)."),
                                       QStringLiteral("count"), QStringLiteral("20"));
  const DevHttpServer::Limits defaults;
  const QCommandLineOption idleOption(
      QStringLiteral("idle-timeout"),
      QStringLiteral("Seconds a silent connection stays open (default %1).").arg(defaults.idleTimeoutMs / 1000),
      QStringLiteral("seconds"), QString::number(defaults.idleTimeoutMs / 1000));
  const QCommandLineOption connectionsOption(
      QStringLiteral("max-connections"),
      QStringLiteral("Connections served at once (default %1).").arg(defaults.maxConnections), QStringLiteral("count"),
      QString::number(defaults.maxConnections));
  const QCommandLineOption bodyOption(
      QStringLiteral("max-body-mb"),
      QStringLiteral("Largest request body in MiB (default %1).").arg(defaults.maxBodyBytes / (1024 * 1024)),
      QStringLiteral("mib"), QString::number(defaults.maxBodyBytes / (1024 * 1024)));
  const QCommandLineOption refuseOption(
      QStringLiteral("refuse-shares-while"),
      QStringLiteral("While this file exists, new share links are refused with what it holds: the HTTP status on "
                     "its first line, the body after it (JSON when it starts with '{', else HTML)."),
      QStringLiteral("file"));
  const QCommandLineOption dropOption(
      QStringLiteral("drop-analysis-while"),
      QStringLiteral("While this file exists, the connection of an analysis step is closed once the request is read, "
                     "without an answer (a connection lost mid-exchange)."),
      QStringLiteral("file"));
  parser.addOption(portOption);
  parser.addOption(refuseOption);
  parser.addOption(dropOption);
  parser.addOption(hostOption);
  parser.addOption(limitOption);
  parser.addOption(idleOption);
  parser.addOption(connectionsOption);
  parser.addOption(bodyOption);
  parser.process(app);

  QTextStream out(stdout);
  QTextStream err(stderr);
  bool portValid = false;
  const uint port = parser.value(portOption).toUInt(&portValid);
  bool limitValid = false;
  const int limit = parser.value(limitOption).toInt(&limitValid);
  const QHostAddress address(parser.value(hostOption));
  bool idleValid = false, connectionsValid = false, bodyValid = false;
  DevHttpServer::Limits limits;
  const qint64 idleSeconds = parser.value(idleOption).toLongLong(&idleValid);
  limits.maxConnections = parser.value(connectionsOption).toInt(&connectionsValid);
  const qint64 bodyMiB = parser.value(bodyOption).toLongLong(&bodyValid);
  idleValid = idleValid && idleSeconds > 0 && idleSeconds <= 3600;
  bodyValid = bodyValid && bodyMiB > 0 && bodyMiB <= 4096;
  limits.idleTimeoutMs = static_cast<int>(idleSeconds * 1000);
  limits.maxBodyBytes = bodyMiB * 1024 * 1024;
  if (!portValid || port > 65535 || !limitValid || limit < 0 || address.isNull()) {
    err << "murmela-dev-backend: invalid --port, --host or --share-limit" << Qt::endl;
    return 2;
  }
  if (!idleValid || !connectionsValid || limits.maxConnections <= 0 || !bodyValid) {
    err << "murmela-dev-backend: invalid --idle-timeout, --max-connections or --max-body-mb" << Qt::endl;
    return 2;
  }

  DevBackend::Options options;
  options.dailyShareLimit = limit;
  if (parser.isSet(refuseOption))
    options.shareRefusal = [path = parser.value(refuseOption)] { return refusalFrom(path); };
  if (parser.isSet(dropOption))
    options.dropAnalysisSteps = [path = parser.value(dropOption)] { return QFile::exists(path); };
  DevBackend backend(options);
  DevHttpServer server(backend, limits);
  if (!server.listen(address, static_cast<quint16>(port))) {
    err << "murmela-dev-backend: cannot listen on " << address.toString() << ':' << port << ": " << server.errorString()
        << Qt::endl;
    return 1;
  }
  const QString host =
      address.protocol() == QAbstractSocket::IPv6Protocol ? '[' + address.toString() + ']' : address.toString();
  const QString origin = QStringLiteral("http://%1:%2").arg(host).arg(server.port());
  backend.setPublicBaseUrl(origin);  // known once the port is
  server.setRequestLog([&out](const QString& line) { out << line << Qt::endl; });

  out << "murmela-dev-backend serving " << origin << Qt::endl;
  for (const QString& route : DevBackend::servedRoutes()) out << "  " << route << Qt::endl;
  out << "Stop it with Ctrl+C." << Qt::endl;
  return app.exec();
}
