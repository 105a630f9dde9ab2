#pragma once

#include "common/AnalysisLogger.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTcpServer>

namespace murmela::test {

// Call first in initTestCase of a test that talks to a stand-in server: no
// proxy for 127.0.0.1, and the shared analysis log made while the app folder
// is still the build tree's (not a temporary folder that a TestEnvironment
// removes later).
inline void prepareNetworkTests() {
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  AnalysisLogger::shared();
}

// The analysis log's lines since construction, without their time stamps.
class LogCapture {
 public:
  LogCapture() { AnalysisLogger::shared().clearLines(); }

  QStringList lines() const {
    static const QRegularExpression stamp(QStringLiteral(R"(^\[[^\]]+\] )"));
    QStringList out;
    for (QString line : AnalysisLogger::shared().lines()) out.append(line.remove(stamp));
    return out;
  }
};

// A base URL on 127.0.0.1 where nothing listens (connections are refused).
inline QString refusingBaseUrl() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const quint16 port = probe.serverPort();
  probe.close();
  return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

}  // namespace murmela::test
