#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Murmela"));
  QCoreApplication::setApplicationVersion(QStringLiteral(MURMELA_VERSION));
  QTextStream(stdout) << "Murmela " << QCoreApplication::applicationVersion() << Qt::endl;
  return 0;
}
