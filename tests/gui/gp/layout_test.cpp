#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>

#include "gp/layout/anchor_layout.h"
#include "gp/layout/form_view_ex.h"
#include "gp/layout/resize_dlg.h"
#include "gp/util/dialog_template.h"
#include "gp/util/settings_text.h"
#include "settings/memory_settings_store.h"

using GP::CAnchorLayout;

namespace {

enum { IDC_LIST = 4130, IDC_BUTTON = 4267, IDC_CORNER = 4290 };

GP::CDialogTemplate DemoTemplate() {
    GP::CDialogTemplate t;
    t.id = 4111;
    t.size = QSize(200, 100);
    t.items = {{IDC_LIST, QRect(40, 40, 150, 50)},
               {IDC_BUTTON, QRect(40, 10, 40, 15)},
               {IDC_CORNER, QRect(5, 40, 30, 20)}};
    return t;
}

class CDemoFormView : public GP::CFormViewEx {
  public:
    CDemoFormView() : CFormViewEx(DemoTemplate()) {
        AddControl(IDC_LIST, new QLabel(QStringLiteral("list")));
        AddControl(IDC_BUTTON, new QPushButton(QStringLiteral("All")));
        AddControl(IDC_CORNER, new QLabel(QStringLiteral("corner")));
        SetControlAnchor(IDC_LIST, GP::ANCHOR_STRETCH);
        SetControlAnchor(IDC_BUTTON, GP::ANCHOR_KEEP);
        SetControlAnchor(IDC_CORNER, GP::ANCHOR_RIGHT | GP::ANCHOR_BOTTOM);
    }
    void OnLayoutChanged() override { ++layouts; }
    int layouts = 0;
};

class CDemoDialog : public GP::CResizeDlg {
  public:
    explicit CDemoDialog(ISettingsStore* settings) : CResizeDlg(DemoTemplate(), settings) {
        AddControl(IDC_LIST, new QLabel(QStringLiteral("list")), GP::ANCHOR_STRETCH);
        AddControl(IDC_BUTTON, new QPushButton(QStringLiteral("Done")), GP::ANCHOR_RIGHT);
    }

  protected:
    QString SettingsSection() const override { return QStringLiteral("Demo"); }
    QString SizeValueName() const override { return QStringLiteral("Size"); }
    QString RectValueName() const override { return QStringLiteral("Rect"); }
};

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void anchorCodesPlaceEdges_data() {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<QRect>("expected");
        // A control at 100,50 sized 40×20 in a 400×200 container that grows to 600×300.
        QTest::newRow("0 stays") << 0x00 << QRect(100, 50, 40, 20);
        QTest::newRow("5 stays") << 0x05 << QRect(100, 50, 40, 20);
        QTest::newRow("2 follows the right") << 0x02 << QRect(300, 50, 40, 20);
        QTest::newRow("3 stretches sideways") << 0x03 << QRect(100, 50, 240, 20);
        QTest::newRow("11 right edge proportional") << 0x11 << QRect(100, 50, 110, 20);
        QTest::newRow("12 left edge proportional") << 0x12 << QRect(150, 50, 190, 20);
        QTest::newRow("13 both proportional") << 0x13 << QRect(150, 50, 60, 20);
        QTest::newRow("8 follows the bottom") << 0x08 << QRect(100, 150, 40, 20);
        QTest::newRow("C stretches down") << 0x0C << QRect(100, 50, 40, 120);
        QTest::newRow("24 bottom proportional") << 0x24 << QRect(100, 50, 40, 55);
        QTest::newRow("28 top proportional") << 0x28 << QRect(100, 75, 40, 95);
        QTest::newRow("2C both proportional") << 0x2C << QRect(100, 75, 40, 30);
        QTest::newRow("15 stretches both ways") << 15 << QRect(100, 50, 240, 120);
        QTest::newRow("A bottom right") << 0x0A << QRect(300, 150, 40, 20);
    }

    void anchorCodesPlaceEdges() {
        QFETCH(int, anchor);
        QFETCH(QRect, expected);
        QCOMPARE(CAnchorLayout::Compute(QRect(100, 50, 40, 20), anchor, QSize(400, 200), QSize(600, 300)),
                 expected);
    }

    void dialogUnitsMapThroughTheFontSize() {
        QCOMPARE(GP::MapDialogRect(QRect(4, 8, 40, 16), QSize(6, 13)), QRect(6, 13, 60, 26));
        QCOMPARE(GP::MapDialogSize(QSize(10, 10), QSize(7, 15)), QSize(18, 19));
        QFont small = QApplication::font();
        small.setPointSize(8);
        QFont large = small;
        large.setPointSize(16);
        const QSize smallUnits = GP::DialogBaseUnits(small);
        const QSize largeUnits = GP::DialogBaseUnits(large);
        QVERIFY(smallUnits.width() > 0 && smallUnits.height() > 0);
        QVERIFY(largeUnits.width() > smallUnits.width());
        QVERIFY(largeUnits.height() > smallUnits.height());
    }

    void formViewKeepsCode5AndStretchesCode15() {
        CDemoFormView view;
        view.OnInitialUpdate();
        const QSize templateSize = view.TemplateSizePixels();
        view.resize(templateSize);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QWidget* list = view.GetDlgItem(IDC_LIST);
        QWidget* button = view.GetDlgItem(IDC_BUTTON);
        QWidget* corner = view.GetDlgItem(IDC_CORNER);
        const QRect listAtStart = view.ControlRect(IDC_LIST);
        const QRect buttonAtStart = view.ControlRect(IDC_BUTTON);
        const QRect cornerAtStart = view.ControlRect(IDC_CORNER);
        QCOMPARE(list->geometry(), listAtStart);

        view.resize(templateSize + QSize(120, 60));
        QCoreApplication::processEvents();
        QCOMPARE(button->geometry(), buttonAtStart);
        QCOMPARE(list->geometry(), listAtStart.adjusted(0, 0, 120, 60));
        QCOMPARE(corner->geometry(), cornerAtStart.translated(120, 60));
        QVERIFY(view.layouts > 0);

        // Smaller than the form: nothing shrinks below the template, the page scrolls instead.
        view.resize(templateSize / 2);
        QCoreApplication::processEvents();
        QCOMPARE(list->geometry(), listAtStart);
        QVERIFY(view.Form()->width() >= templateSize.width());
    }

    void resizeDialogHasMinimumAnchorsAndStoredPlacement() {
        CMemorySettingsStore settings;
        QRect closedAt;
        {
            CDemoDialog dialog(&settings);
            const QSize initial = dialog.InitialSize();
            QCOMPARE(dialog.minimumSize(), initial);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QWidget* list = dialog.GetDlgItem(IDC_LIST);
            QWidget* button = dialog.GetDlgItem(IDC_BUTTON);
            const QRect listAtStart = list->geometry();
            const QRect buttonAtStart = button->geometry();
            dialog.resize(initial + QSize(80, 40));
            QCOMPARE(list->geometry(), listAtStart.adjusted(0, 0, 80, 40));
            QCOMPARE(button->geometry(), buttonAtStart.translated(80, 0));
            dialog.move(30, 40);
            closedAt = QRect(dialog.pos(), dialog.size());
            dialog.accept();
        }
        QCOMPARE(QString::fromStdString(settings.GetString("Demo", "Rect", "")),
                 QStringLiteral("%1,%2,%3,%4")
                     .arg(closedAt.left())
                     .arg(closedAt.top())
                     .arg(closedAt.left() + closedAt.width())
                     .arg(closedAt.top() + closedAt.height()));
        QCOMPARE(QString::fromStdString(settings.GetString("Demo", "Size", "")),
                 QStringLiteral("%1,%2").arg(closedAt.width()).arg(closedAt.height()));
        CDemoDialog reopened(&settings);
        reopened.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reopened));
        QCOMPARE(reopened.size(), closedAt.size());
        QCOMPARE(reopened.pos(), closedAt.topLeft());
        reopened.reject();

        // A rectangle left far off the screen comes back onto it.
        settings.WriteString("Demo", "Rect", "5000,5000,5300,5200");
        CDemoDialog offScreen(&settings);
        offScreen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&offScreen));
        QVERIFY(offScreen.screen()->availableGeometry().contains(QRect(offScreen.pos(), offScreen.size())));
    }

    void storedNumberTextIsCheckedStrictly() {
        std::vector<int> values;
        QVERIFY(GP::ParseIntegers("1, 2,3 ,-4", 4, values));
        QCOMPARE(values, (std::vector<int>{1, 2, 3, -4}));
        QVERIFY(!GP::ParseIntegers("1,2,3", 4, values));
        QVERIFY(!GP::ParseIntegers("1,2,3,4,5", 4, values));
        QVERIFY(!GP::ParseIntegers("1,2,,4", 4, values));
        QVERIFY(!GP::ParseIntegers("1,2,3,99999999999", 4, values));
        QVERIFY(!GP::ParseIntegers("", 1, values));
        QVERIFY(!GP::IsReasonableRect(QRect(0, 0, 0, 10)));
        QVERIFY(!GP::IsReasonableRect(QRect(40000, 0, 10, 10)));
        QCOMPARE(GP::FormatIntegers({0, 0, 800, 600}), std::string("0,0,800,600"));
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
