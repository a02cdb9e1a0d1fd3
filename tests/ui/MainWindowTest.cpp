#include "ui/MainWindow.h"
#include "ui/ChartView.h"

#include <QLabel>
#include <QTabWidget>
#include <QtTest>

using tarnwake::ui::TfrmMain;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void hasTitleTabsAndStatusPanels() {
        TfrmMain window;
        QCOMPARE(window.windowTitle(), QString("Tarnwake"));
        QTabWidget* tabs = window.SidePanel();
        QCOMPARE(tabs->count(), 4);
        const QStringList expected{"OB", "Log", "Reports", "Objectives"};
        for (int i = 0; i < tabs->count(); ++i) {
            QCOMPARE(tabs->tabText(i), expected[i]);
        }
        for (int i = 0; i < TfrmMain::kStatusPanelCount; ++i) {
            QVERIFY(window.StatusPanel(i) != nullptr);
        }
        QVERIFY(window.StatusPanel(TfrmMain::kStatusPanelCount) == nullptr);
        window.SetStatusText(3, "1916-05-31 14:00");
        QCOMPARE(window.StatusPanel(3)->text(), QString("1916-05-31 14:00"));
    }

    void grabsAPictureWithoutADisplay() {
        TfrmMain window;
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage picture = window.grab().toImage();
        QCOMPARE(picture.size(), QSize(800, 600));
        // The chart shows open sea in the fair-weather colour of a new player's style, the
        // printed chart's pale blue (red 204, green 228, blue 242); the bright style is one
        // choice away.
        const QPoint inChart = window.Chart()->mapTo(&window, QPoint(5, 5));
        QCOMPARE(window.ChartStyle(), tarnwake::ui::csPrintedChart);
        QCOMPARE(picture.pixelColor(inChart), QColor(204, 228, 242));
        window.SetChartStyle(tarnwake::ui::csBright);
        // The bright style's $00FFFF80.
        QCOMPARE(window.grab().toImage().pixelColor(inChart), QColor(0x80, 0xFF, 0xFF));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
