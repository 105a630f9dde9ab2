// The welcome screen: the terms gate on "Get Started →", the checkbox, the
// links and the error line that moves nothing.
#include "ScreenTestSupport.h"
#include "common/AppSettings.h"
#include "screens/welcome/WelcomeView.h"
#include "support/TestRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

class WelcomeViewTest : public ScreenTest {
  Q_OBJECT

 private Q_SLOTS:
  // "Get Started →" looks faded and does nothing, by click or by Return,
  // until the terms are accepted.
  void getStartedNeedsTheTerms_data() {
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QString>("screen");
    QTest::newRow("not accepted, clicked") << false << false << "welcome";
    QTest::newRow("not accepted, Return") << false << true << "welcome";
    QTest::newRow("accepted, clicked") << true << false << "intelligence";
    QTest::newRow("accepted, Return") << true << true << "intelligence";
  }
  void getStartedNeedsTheTerms() {
    QFETCH(bool, accepted);
    QFETCH(bool, byKey);
    QFETCH(QString, screen);
    AppCoordinator& coordinator = harness().make();
    coordinator.setHasAcceptedTerms(accepted);
    WelcomeView view(coordinator);
    const WelcomeView::Layout layout = view.layout();
    QCOMPARE(layout.getStartedEnabled, accepted);

    const auto recorder = record([&](QPainter& painter) { view.paintScreen(painter); });
    const auto fills = recorder->where([&](const PaintRecord& record) {
      return record.fillColor() && record.fillColor()->rgb() == MurmelaTheme::sageDeep.rgb() &&
             layout.getStarted.contains(record.bounds.center()) &&
             record.bounds.width() > layout.getStarted.width() / 2;
    });
    QCOMPARE(fills.size(), 1);
    QCOMPARE(qRound(fills.first().effectiveColor().alphaF() * 100), accepted ? 100 : 55);

    if (byKey) {
      QVERIFY(showActive(view));
      QTest::keyClick(&view, Qt::Key_Return);
    } else {
      // A disabled button takes no press at all (no pressed look, no action).
      const QPoint centre = layout.getStarted.center().toPoint();
      QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, centre);
      QCOMPARE(view.buttonHost().pressed().has_value(), accepted);
      QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, centre);
    }
    QCOMPARE(screenName(coordinator), screen);
  }

  // Only the checkbox toggles the acceptance, which the coordinator stores at once.
  void checkboxToggles_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("checkbox once") << "checkbox" << 1 << true;
    QTest::newRow("checkbox twice") << "checkbox" << 2 << false;
    QTest::newRow("the sentence") << "sentence" << 1 << false;
  }
  void checkboxToggles() {
    QFETCH(QString, target);
    QFETCH(int, clicks);
    QFETCH(bool, accepted);
    AppCoordinator& coordinator = harness().make();
    WelcomeView view(coordinator);
    const WelcomeView::Layout layout = view.layout();
    const QRectF sentence(layout.termsRect.left(), layout.termsRect.top(),
                          layout.privacyLink.left() - layout.termsRect.left(), layout.termsRect.height());
    for (int i = 0; i < clicks; ++i) clickAt(view, target == "checkbox" ? layout.checkbox : sentence);
    QCOMPARE(coordinator.hasAcceptedTerms(), accepted);
    QCOMPARE(AppSettings::shared().value(AppCoordinator::kHasAcceptedTermsKey, false).toBool(), accepted);
    QCOMPARE(view.layout().getStartedEnabled, accepted);
  }

  void linksOpenTheProductPages_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("url");
    QTest::newRow("privacy policy") << "privacy"
                                    << "https://murmela.app/privacy.html";
    QTest::newRow("terms") << "terms"
                           << "https://murmela.app/terms.html";
  }
  void linksOpenTheProductPages() {
    QFETCH(QString, link);
    QFETCH(QString, url);
    AppCoordinator& coordinator = harness().make();
    WelcomeView view(coordinator);
    QList<QUrl> opened;
    view.setUrlOpener([&](const QUrl& address) { opened.append(address); });
    const WelcomeView::Layout layout = view.layout();
    clickAt(view, link == "privacy" ? layout.privacyLink : layout.termsLink);
    QCOMPARE(opened, QList<QUrl>{QUrl(url)});
    QVERIFY(!coordinator.hasAcceptedTerms());
  }

  // The error line shows as plain text between tagline and terms; long ones
  // wrap and are cut before the terms; nothing else moves.
  void errorLine_data() {
    QTest::addColumn<QString>("error");  // empty: none
    QTest::addColumn<bool>("elided");
    QTest::newRow("none") << "" << false;
    QTest::newRow("short") << "[WrappedDataError] <b>No</b> database." << false;
    QTest::newRow("long") << QString("[HostedAnalysisError] ") +
                                 QString("the backend did not answer in time. ").repeated(12)
                          << true;
  }
  void errorLine() {
    QFETCH(QString, error);
    QFETCH(bool, elided);
    AppCoordinator& coordinator = harness().make();
    WelcomeView view(coordinator);
    const WelcomeView::Layout without = view.layout();
    if (!error.isEmpty()) coordinator.setProcessingError(error);
    const WelcomeView::Layout with = view.layout();
    QCOMPARE(with.hasError, !error.isEmpty());
    QCOMPARE(with.wordmarkRect, without.wordmarkRect);
    QCOMPARE(with.taglineSecondRect, without.taglineSecondRect);
    QCOMPARE(with.termsRect, without.termsRect);
    QCOMPARE(with.getStarted, without.getStarted);
    if (error.isEmpty()) return;
    QCOMPARE(with.errorRect.top(), WelcomeView::kErrorTop);
    QVERIFY(with.errorRect.bottom() <= with.termsRow.top());
    QCOMPARE(with.errorRect.center().x(), 195.0);
    QCOMPARE(with.error.elided, elided);
    if (!elided) {
      const auto recorder = record([&](QPainter& painter) { view.paintScreen(painter); });
      const std::optional<PaintRecord> shown = recorder->firstText(QStringLiteral("<b>No</b>"));
      QVERIFY(shown);
      QCOMPARE(shown->color.rgb(), MurmelaTheme::rose.rgb());
    }
  }
};

MURMELA_TEST(WelcomeViewTest)
#include "WelcomeViewTest.moc"
