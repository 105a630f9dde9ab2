#include "shell/ScreenStandIn.h"

#include "app/AppCoordinator.h"
#include "kit/paint/Shapes.h"
#include "theme/FontFactory.h"
#include "theme/MurmelaTheme.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

namespace murmela {
namespace {

constexpr int kMargin = 24;
constexpr int kListedLimit = 8;  // rows of a listed kind shown at once

QString lines(const QStringList& parts) {
  QStringList kept;
  for (const QString& part : parts)
    if (!part.isEmpty()) kept.append(part);
  return kept.join(QLatin1Char('\n'));
}

QString errorLine(const std::optional<QString>& error) {
  return error ? QStringLiteral("Error: ") + *error : QString();
}

QString partnerName(const ContactSummary& contact) {
  return contact.displayName && !contact.displayName->isEmpty() ? *contact.displayName : contact.handle;
}

ScreenStandIn::Action goBackFromHybridSetup(const QString& label) {
  return {label, [](AppCoordinator& coordinator) {
            coordinator.setHybridSetupError(std::nullopt);
            coordinator.setScreen(AppScreen::intelligence());
          }};
}

}  // namespace

ScreenStandIn::Plan ScreenStandIn::plan(AppScreen::Kind kind) {
  using Kind = AppScreen::Kind;
  Plan plan;
  plan.title = rawValue(kind);
  switch (kind) {
    case Kind::hybridSetup:
      plan.status = [](const AppCoordinator& c) {
        return c.hybridSetupError() ? errorLine(c.hybridSetupError())
                                    : QStringLiteral("Setting up the privacy filter…");
      };
      plan.actions = {{QStringLiteral("Try Again"), [](AppCoordinator& c) { c.confirmIntelligenceChoice(); }},
                      {QStringLiteral("Use Raw Cloud →"),
                       [](AppCoordinator& c) {
                         c.selectIntelligence(IntelligenceChoice::cloud);
                         c.setHybridSetupError(std::nullopt);
                         c.setScreen(AppScreen::intelligence());
                       }},
                      goBackFromHybridSetup(QStringLiteral("← Back"))};
      break;
    case Kind::contactPicker:
      plan.onShow = [](AppCoordinator& c) { c.loadContactsIfNeeded(); };
      plan.status = [](const AppCoordinator& c) {
        return lines({QStringLiteral("Conversations: %1").arg(c.contacts().size()), errorLine(c.contactLoadingError()),
                      errorLine(c.processingError())});
      };
      plan.actions = {{QStringLiteral("Retry"), [](AppCoordinator& c) { c.loadContacts(); }},
                      {QStringLiteral("Copy Analysis Log"), [](AppCoordinator& c) { c.copyAnalysisLog(); }},
                      {QStringLiteral("Dismiss"), [](AppCoordinator& c) { c.setProcessingError(std::nullopt); }},
                      {QStringLiteral("← Back"), [](AppCoordinator& c) {
                         c.setScreen(c.skipsPermissionGate() ? AppScreen::intelligence() : AppScreen::permissions());
                       }}};
      plan.listed = [](const AppCoordinator& c) {
        QList<Action> rows;
        for (const ContactSummary& contact : c.contacts().mid(0, kListedLimit)) {
          rows.append({QStringLiteral("%1 · %2").arg(partnerName(contact)).arg(contact.messageCount),
                       [contact](AppCoordinator& coordinator) { coordinator.startProcessing(contact); }});
        }
        return rows;
      };
      break;
    case Kind::processing:
      plan.status = [](const AppCoordinator& c) {
        const ProcessingProgress& progress = c.processingProgress();
        return lines({c.processingDisplayName(), rawValue(progress.stage),
                      QStringLiteral("%1%").arg(static_cast<int>(std::floor(progress.fraction * 100.0)))});
      };
      break;
    case Kind::home:
      plan.onShow = [](AppCoordinator& c) { c.refreshActiveShares(); };
      plan.status = [](const AppCoordinator& c) {
        return lines({QStringLiteral("Saved reports: %1 · active share links: %2")
                          .arg(c.pastWraps().size())
                          .arg(c.activeShares().size()),
                      errorLine(c.shareRevocationError())});
      };
      plan.actions = {{QStringLiteral("New Murmela"), [](AppCoordinator& c) { c.beginNewMurmelaFromHome(); }},
                      {QStringLiteral("Refresh Shares"), [](AppCoordinator& c) { c.refreshActiveShares(); }},
                      {QStringLiteral("Reset to First Run"), [](AppCoordinator& c) {
                         const auto answer = QMessageBox::question(
                             QApplication::activeWindow(), QStringLiteral("Reset Murmela"),
                             QStringLiteral("Return Murmela to its first launch? Saved reports stay."));
                         if (answer == QMessageBox::Yes) c.resetAppToFirstRun();
                       }}};
      plan.listed = [](const AppCoordinator& c) {
        QList<Action> rows;
        for (const PastWrap& wrap : c.pastWraps().mid(0, kListedLimit)) {
          rows.append({QStringLiteral("Open: ") + wrap.report.participantNames.them,
                       [wrap](AppCoordinator& coordinator) { coordinator.openPastWrap(wrap); }});
        }
        for (const ShareCacheEntry& share : c.activeShares().mid(0, kListedLimit)) {
          rows.append({QStringLiteral("Revoke link: ") + share.contactDisplay,
                       [share](AppCoordinator& coordinator) { coordinator.revokeShare(share); }});
        }
        return rows;
      };
      break;
    case Kind::results:
    case Kind::welcome:
    case Kind::permissions:
    case Kind::intelligence:
      break;  // drawn screens of their own
  }
  return plan;
}

ScreenStandIn::ScreenStandIn(AppScreen::Kind kind, AppCoordinator& coordinator, QWidget* parent)
    : QWidget(parent), kind_(kind), coordinator_(coordinator), plan_(plan(kind)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(kMargin, kMargin * 2, kMargin, kMargin);
  column->setSpacing(10);

  auto* title = new QLabel(plan_.title, this);
  title->setFont(FontFactory::font(Typeface::dmSerifDisplay, 30));
  auto* note = new QLabel(QStringLiteral("Stand-in screen: its real look is not built yet."), this);
  note->setFont(FontFactory::font(Typeface::inter, 11, QFont::Normal, true));
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setTextFormat(Qt::PlainText);
  status_->setFont(FontFactory::font(Typeface::inter, 13));
  for (QLabel* label : {title, note, status_}) {
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, MurmelaTheme::ink);
    label->setPalette(palette);
    column->addWidget(label);
  }
  column->addSpacing(12);

  for (const Action& action : plan_.actions) {
    auto* button = new QPushButton(action.label, this);
    connect(button, &QPushButton::clicked, this, [this, run = action.run] { run(coordinator_); });
    column->addWidget(button);
  }

  auto* listedBox = new QWidget;
  listed_ = new QVBoxLayout(listedBox);
  listed_->setContentsMargins(0, 8, 0, 0);
  listed_->addStretch(1);
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(listedBox);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setVisible(static_cast<bool>(plan_.listed));
  scroll->setAutoFillBackground(false);
  scroll->viewport()->setAutoFillBackground(false);
  listedBox->setAutoFillBackground(false);
  column->addWidget(scroll, 1);
  if (!plan_.listed) column->addStretch(1);

  for (auto signal : {&AppCoordinator::permissionsChanged, &AppCoordinator::contactsChanged,
                      &AppCoordinator::contactLoadingErrorChanged, &AppCoordinator::processingProgressChanged,
                      &AppCoordinator::processingErrorChanged, &AppCoordinator::pastWrapsChanged,
                      &AppCoordinator::activeSharesChanged, &AppCoordinator::shareRevocationErrorChanged,
                      &AppCoordinator::hasAcceptedTermsChanged, &AppCoordinator::intelligenceChoiceChanged,
                      &AppCoordinator::hybridCapabilityChanged, &AppCoordinator::hybridSetupErrorChanged,
                      &AppCoordinator::processingDisplayNameChanged}) {
    connect(&coordinator_, signal, this, &ScreenStandIn::refresh);
  }
  refresh();
}

QStringList ScreenStandIn::actionLabels() const {
  QStringList labels;
  for (const QAbstractButton* button : findChildren<QAbstractButton*>()) labels.append(button->text());
  return labels;
}

bool ScreenStandIn::trigger(const QString& label) {
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
    if (button->text() == label) {
      button->click();
      return true;
    }
  }
  return false;
}

void ScreenStandIn::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  if (plan_.onShow) plan_.onShow(coordinator_);
}

void ScreenStandIn::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), MurmelaTheme::cream);
}

void ScreenStandIn::refresh() {
  status_->setText(plan_.status ? plan_.status(coordinator_) : QString());
  if (!plan_.listed) return;
  // A listed button may be the one whose click caused this refresh: it goes
  // with the next turn of the event loop, not now.
  while (listed_->count() > 1) {
    QLayoutItem* item = listed_->takeAt(0);
    if (QWidget* widget = item->widget()) {
      widget->setParent(nullptr);
      widget->deleteLater();
    }
    delete item;
  }
  const QList<Action> rows = plan_.listed(coordinator_);
  for (qsizetype i = 0; i < rows.size(); ++i) {
    auto* button = new QPushButton(rows[i].label);
    connect(button, &QPushButton::clicked, this, [this, run = rows[i].run] { run(coordinator_); });
    listed_->insertWidget(static_cast<int>(i), button);
  }
}

}  // namespace murmela
