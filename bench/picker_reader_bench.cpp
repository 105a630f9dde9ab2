// What telling screen readers costs in the contact picker, per key, beside a
// stock QListView over a QSortFilterProxyModel of the same rows with a
// QLineEdit filter driven by the same keys.
//
//   picker_reader_bench [--chats N[,N...]] [--runs R]
//
// Accessibility active and an update handler that counts the events sent
// (nothing reaches the bus): under xcb with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
// on a session bus, e.g.
//   QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 dbus-run-session xvfb-run -a picker_reader_bench -platform xcb
// The key script: arrival, a letter every row matches,
// a letter most rows miss, BackSpace, Tab into the list, Page Down, End, Home.
// After every key the bench asks what a screen reader asks after a change
// (the child count, each shown child's role, name and state, its index and
// parent, the focus child), timed apart as "ask ms". Per key it prints the
// GUI thread's time until the event loop is idle again and the events sent.
// Timings are medians over the runs.
#include "kit/access/AccessibleEvents.h"
#include "kit/controls/PlainTextField.h"
#include "screens/picker/ContactListView.h"
#include "screens/picker/ContactPickerView.h"
#include "theme/FontRegistry.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace murmela;

namespace {

// Every first name holds an "a"; one chat in twenty has a "z" in its last name.
const char* const kFirst[] = {"Sam", "Alex", "Maria", "Dana", "Jamal", "Ana", "Kai", "Lara", "Omar", "Tara"};
const char* const kLast[] = {"Rivera", "Chen", "Okafor", "Lindqvist", "Moreau", "Haddad", "Novak", "Kim", "Silva"};

QList<ContactSummary> makeContacts(int count) {
  QList<ContactSummary> contacts;
  contacts.reserve(count);
  for (int i = 0; i < count; ++i) {
    QString name = QStringLiteral("%1 %2").arg(QString::fromLatin1(kFirst[i % std::size(kFirst)]),
                                               QString::fromLatin1(kLast[(i / 10) % std::size(kLast)]));
    if (i % 20 == 7) name += QStringLiteral(" Ruiz");
    name += QStringLiteral(" %1").arg(i);
    contacts.append({.handle = QStringLiteral("+1555%1").arg(1'000'000 + i),
                     .displayName = name,
                     .messageCount = 40 + (i * 37) % 9000,
                     .firstMessage = Date::fromUnix(1'600'000'000.0 + i),
                     .lastMessage = Date::fromUnix(1'700'000'000.0 + i)});
  }
  return contacts;
}

long long eventsSent = 0;
void countEvent(QAccessibleEvent*) { ++eventsSent; }

void settle() {
  for (int round = 0; round < 3; ++round) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// What a reader asks of one widget after a change: its children, and of the
// list the focus child and the rows around it that show.
void askLikeAReader(QAccessibleInterface* iface, int shownRows) {
  if (!iface) return;
  const int count = iface->childCount();
  QAccessibleInterface* focus = iface->focusChild();
  int from = 0, to = count;
  if (iface->role() == QAccessible::List) {
    const int at = focus ? std::max(0, iface->indexOfChild(focus)) : 0;
    from = std::max(0, at - shownRows);
    to = std::min(count, at + shownRows);
  }
  for (int index = from; index < to; ++index) {
    QAccessibleInterface* child = iface->child(index);
    if (!child) continue;
    (void)child->role();
    (void)child->text(QAccessible::Name);
    (void)child->text(QAccessible::Description);
    (void)child->state();
    (void)child->rect();
    if (child->parent()) (void)child->parent()->indexOfChild(child);
    if (child->childCount() > 0 && child->role() != QAccessible::List && child->object() == nullptr)
      for (int inner = 0; inner < child->childCount(); ++inner) (void)child->child(inner)->text(QAccessible::Name);
  }
}

struct Step {
  const char* name;
  std::function<void()> press;
};

struct Figures {
  std::vector<double> guiMs, askMs;
  long long events = 0;
};

// One side of the comparison: a window, its keys and the widgets a reader asks about.
struct Subject {
  std::unique_ptr<QWidget> window;
  std::function<void()> build;
  std::vector<Step> keys;
  std::function<std::vector<QAccessibleInterface*>()> asked;
};

double msSince(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

void measure(Subject& subject, std::vector<Figures>& figures, int shownRows) {
  const auto ask = [&](Figures& into) {
    QElapsedTimer timer;
    timer.start();
    for (QAccessibleInterface* iface : subject.asked()) askLikeAReader(iface, shownRows);
    into.askMs.push_back(msSince(timer));
  };
  eventsSent = 0;
  QElapsedTimer timer;
  timer.start();
  subject.build();
  subject.window->show();
  subject.window->activateWindow();
  if (!QTest::qWaitForWindowActive(subject.window.get())) std::fprintf(stderr, "the window did not become active\n");
  settle();
  figures[0].guiMs.push_back(msSince(timer));
  figures[0].events = eventsSent;
  ask(figures[0]);
  for (size_t key = 0; key < subject.keys.size(); ++key) {
    settle();
    eventsSent = 0;
    timer.start();
    subject.keys[key].press();
    settle();
    figures[key + 1].guiMs.push_back(msSince(timer));
    figures[key + 1].events = eventsSent;
    ask(figures[key + 1]);
  }
  subject.window.reset();
  settle();
}

double median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

QList<ContactSummary> shownContacts;

std::unique_ptr<Subject> picker() {
  auto subject = std::make_unique<Subject>();
  Subject& result = *subject;
  Subject* self = subject.get();
  result.build = [self] {
    PickerHost host{
        .contacts = []() -> const QList<ContactSummary>& { return shownContacts; },
        .contactLoadingError = [] { return std::optional<QString>(); },
        .processingError = [] { return std::optional<QString>(); },
        .dismissProcessingError = [] {},
        .copyAnalysisLog = [] {},
        .loadContacts = [] {},
        .loadContactsIfNeeded = [] {},
        .startProcessing = [](const ContactSummary&) {},
        .back = [] {},
        .changed = [](QObject*, std::function<void()>) {},
        .contactsChanged = [](QObject*, std::function<void()>) {},
        .contactLoadingErrorChanged = [](QObject*, std::function<void()>) {},
    };
    self->window = std::make_unique<ContactPickerView>(std::move(host));
  };
  const auto view = [self] { return static_cast<ContactPickerView*>(self->window.get()); };
  result.keys = {
      {"letter all match", [view] { QTest::keyClick(view()->searchField(), Qt::Key_A); }},
      {"letter most miss", [view] { QTest::keyClick(view()->searchField(), Qt::Key_Z); }},
      {"BackSpace", [view] { QTest::keyClick(view()->searchField(), Qt::Key_Backspace); }},
      {"Tab into list", [view] { QTest::keyClick(view()->searchField(), Qt::Key_Tab); }},
      {"Page Down", [view] { QTest::keyClick(view()->listView(), Qt::Key_PageDown); }},
      {"End", [view] { QTest::keyClick(view()->listView(), Qt::Key_End); }},
      {"Home", [view] { QTest::keyClick(view()->listView(), Qt::Key_Home); }},
  };
  result.asked = [view] {
    return std::vector<QAccessibleInterface*>{QAccessible::queryAccessibleInterface(view()),
                                              QAccessible::queryAccessibleInterface(view()->listView())};
  };
  return subject;
}

// A stock list of the same rows: a filter field over a list view.
struct Stock : QWidget {
  explicit Stock(const QList<ContactSummary>& contacts) {
    resize(390, 844);
    auto* layout = new QVBoxLayout(this);
    field = new QLineEdit(this);
    field->setAccessibleName(QStringLiteral("Search contacts or handles"));
    list = new QListView(this);
    list->setAccessibleName(QStringLiteral("Chats"));
    layout->addWidget(field);
    layout->addWidget(list);
    model.setRowCount(static_cast<int>(contacts.size()));
    for (int row = 0; row < contacts.size(); ++row) {
      auto* item = new QStandardItem(contacts[row].displayName.value_or(contacts[row].handle));
      item->setData(contacts[row].handle, Qt::ToolTipRole);
      model.setItem(row, item);
    }
    filter.setSourceModel(&model);
    filter.setFilterCaseSensitivity(Qt::CaseInsensitive);
    list->setModel(&filter);
    list->setUniformItemSizes(true);
    list->setCurrentIndex(filter.index(0, 0));
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { filter.setFilterFixedString(text); });
    field->setFocus();
  }
  QStandardItemModel model;
  QSortFilterProxyModel filter;
  QLineEdit* field = nullptr;
  QListView* list = nullptr;
};

std::unique_ptr<Subject> stock() {
  auto subject = std::make_unique<Subject>();
  Subject& result = *subject;
  Subject* self = subject.get();
  result.build = [self] { self->window = std::make_unique<Stock>(shownContacts); };
  const auto view = [self] { return static_cast<Stock*>(self->window.get()); };
  result.keys = {
      {"letter all match", [view] { QTest::keyClick(view()->field, Qt::Key_A); }},
      {"letter most miss", [view] { QTest::keyClick(view()->field, Qt::Key_Z); }},
      {"BackSpace", [view] { QTest::keyClick(view()->field, Qt::Key_Backspace); }},
      {"Tab into list", [view] { QTest::keyClick(view()->field, Qt::Key_Tab); }},
      {"Page Down", [view] { QTest::keyClick(view()->list, Qt::Key_PageDown); }},
      {"End", [view] { QTest::keyClick(view()->list, Qt::Key_End); }},
      {"Home", [view] { QTest::keyClick(view()->list, Qt::Key_Home); }},
  };
  result.asked = [view] {
    return std::vector<QAccessibleInterface*>{QAccessible::queryAccessibleInterface(view()),
                                              QAccessible::queryAccessibleInterface(view()->list)};
  };
  return subject;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FontRegistry::registerFonts();
  const QStringList arguments = QCoreApplication::arguments();
  QList<int> sizes{200, 2'000, 20'000};
  if (const qsizetype at = arguments.indexOf(QStringLiteral("--chats")); at >= 0 && at + 1 < arguments.size()) {
    sizes.clear();
    for (const QString& size : arguments.at(at + 1).split(QLatin1Char(','))) sizes.append(size.toInt());
  }
  int runs = 3;
  if (const qsizetype at = arguments.indexOf(QStringLiteral("--runs")); at >= 0 && at + 1 < arguments.size())
    runs = std::max(1, arguments.at(at + 1).toInt());

  // Counted behind the kit's routing, which puts itself in front and passes every event on.
  QAccessible::installUpdateHandler(countEvent);
  // The bridge to a screen reader's bus comes up from the event loop.
  for (QElapsedTimer waited; !QAccessible::isActive() && (!waited.isValid() || waited.elapsed() < 500);) {
    if (!waited.isValid()) waited.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  // Qt's item views and fields tell only an active platform accessibility;
  // without one (offscreen) only the kit's events are counted, through its sink.
  if (!QAccessible::isActive()) {
    setAccessibleEventSink(countEvent);
    std::printf("no platform accessibility: stock events are not counted (run under xcb with "
                "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on a session bus for them)\n");
  }

  std::printf("%-7s %-17s | %8s %8s %7s | %8s %8s %7s\n", "chats", "key", "ours ms", "ask ms", "events", "stock ms",
              "ask ms", "events");
  for (const int size : sizes) {
    shownContacts = makeContacts(size);
    const int shownRows = 12;
    const std::unique_ptr<Subject> ours = picker();
    const std::unique_ptr<Subject> anchor = stock();
    std::vector<Figures> mine(ours->keys.size() + 1), theirs(anchor->keys.size() + 1);
    for (int run = 0; run < runs; ++run) {
      measure(*ours, mine, shownRows);
      measure(*anchor, theirs, shownRows);
    }
    for (size_t key = 0; key < mine.size(); ++key) {
      const char* name = key == 0 ? "arrival" : ours->keys[key - 1].name;
      std::printf("%-7d %-17s | %8.2f %8.2f %7lld | %8.2f %8.2f %7lld\n", size, name, median(mine[key].guiMs),
                  median(mine[key].askMs), mine[key].events, median(theirs[key].guiMs), median(theirs[key].askMs),
                  theirs[key].events);
    }
    std::fflush(stdout);
  }
  return 0;
}
