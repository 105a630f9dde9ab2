// Stock Qt widgets, nothing of Murmela's: what a screen reader makes of Qt's own
// controls, to set beside Murmela's.
//
//   stock-field "Sam Rivera 🌸"     a QLineEdit holding the text, beside a button
//   stock-field --list 2000         a filter field above a QListView of that many chats,
//                                   filtered through a QSortFilterProxyModel as one types
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// Rows worded as the picker's sample chats are: a handle, its span and its message count.
QStandardItemModel* chatRows(int count, QObject* parent) {
  auto* model = new QStandardItemModel(parent);
  for (int i = 0; i < count; ++i) {
    const QString handle = QStringLiteral("+1555%1").arg(2000000 + i, 7, 10, QLatin1Char('0'));
    model->appendRow(new QStandardItem(
        QStringLiteral("%1, Jan 3, 2024 \u2014 Dec 2, 2024, %2 msgs").arg(handle).arg(10 + i % 30)));
  }
  return model;
}

void addList(QVBoxLayout* layout, int count) {
  auto* field = new QLineEdit;
  field->setAccessibleName(QStringLiteral("Search contacts or handles"));
  auto* proxy = new QSortFilterProxyModel(field);
  proxy->setSourceModel(chatRows(count, proxy));
  proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
  QObject::connect(field, &QLineEdit::textChanged, proxy, &QSortFilterProxyModel::setFilterFixedString);
  auto* list = new QListView;
  list->setAccessibleName(QStringLiteral("Chats"));
  list->setUniformItemSizes(true);
  list->setModel(proxy);
  layout->addWidget(field);
  layout->addWidget(list);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Stock field"));
  QWidget window;
  window.setWindowTitle(QStringLiteral("Stock field"));
  auto* layout = new QVBoxLayout(&window);
  const QStringList arguments = QApplication::arguments();
  if (arguments.value(1) == QLatin1String("--list")) {
    addList(layout, arguments.value(2).toInt());
    window.resize(480, 640);
  } else {
    auto* field = new QLineEdit(arguments.value(1));
    field->setAccessibleName(QStringLiteral("Name"));
    layout->addWidget(field);
  }
  layout->addWidget(new QPushButton(QStringLiteral("Other")));
  window.show();
  return QApplication::exec();
}
