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
        // The chart shows open sea in the fair-weather colour ($00FFFF80: red 0x80).
        const QPoint inChart = window.Chart()->mapTo(&window, QPoint(5, 5));
        const QColor sea = picture.pixelColor(inChart);
        QCOMPARE(sea.red(), 0x80);
        QCOMPARE(sea.green(), 0xFF);
        QCOMPARE(sea.blue(), 0xFF);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
