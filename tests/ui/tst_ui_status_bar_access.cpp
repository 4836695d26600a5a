// What assistive technology reads of a status bar: the bar as a status bar,
// each panel as a child named by its text, following the text as it
// changes, placed where the panel is drawn.
#include "ui/form.h"
#include "ui/status_bar.h"
#include "ui/twips.h"
#include <QAccessible>
#include <QTest>
#include <QWidget>

namespace {

class BarWindow : public ui::Form {
public:
    BarWindow()
    {
        setClientSize(9000, 3000);
        StatusBar1.setHeight(345);
        StatusBar1.AddPanel(QStringLiteral("cAccID"), 3000, 3000).setText(QStringLiteral("当前账套:[001]Main"));
        StatusBar1.AddPanel(QStringLiteral("Time"), 3000, 3000);
        StatusBar1.AddPanel(QStringLiteral("About"), 2000, 2000).setText(QStringLiteral("数据字典工具"));
        StatusBar1.setToolTipText(QStringLiteral("双击状态栏可重新选择账套"));
    }
    ui::StatusBar StatusBar1{*this};
};

QStringList names(QAccessibleInterface *bar)
{
    QStringList out;
    for (int i = 0; i < bar->childCount(); ++i)
        out << bar->child(i)->text(QAccessible::Name);
    return out;
}

}  // namespace

class StatusBarAccess : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { ui::resetProgram(); }

    void panelsAreReadableText()
    {
        auto *w = new BarWindow;
        w->Show();
        QVERIFY(QTest::qWaitForWindowExposed(w->widget()));
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(w->StatusBar1.widget());
        QVERIFY(bar);
        QCOMPARE(bar->role(), QAccessible::StatusBar);
        QCOMPARE(bar->text(QAccessible::Description), QStringLiteral("双击状态栏可重新选择账套"));
        QCOMPARE(names(bar), (QStringList{"当前账套:[001]Main", "", "数据字典工具"}));

        w->StatusBar1.Panels(2).setText(QStringLiteral("2026-12-09 02:30:00"));
        QCOMPARE(names(bar), (QStringList{"当前账套:[001]Main", "2026-12-09 02:30:00", "数据字典工具"}));
        for (int i = 0; i < bar->childCount(); ++i) {
            QAccessibleInterface *panel = bar->child(i);
            QCOMPARE(panel->role(), QAccessible::StaticText);
            QCOMPARE(panel->parent(), bar);
            QCOMPARE(bar->indexOfChild(panel), i);
            QVERIFY(bar->rect().contains(panel->rect()));
            QCOMPARE(bar->childAt(panel->rect().center().x(), panel->rect().center().y()), panel);
        }
        QVERIFY(bar->child(0)->rect().right() < bar->child(1)->rect().left());

        // A panel added later is read too.
        w->StatusBar1.AddPanel(QStringLiteral("More"), 500, 500).setText(QStringLiteral("末"));
        QCOMPARE(bar->childCount(), 4);
        QCOMPARE(bar->child(3)->text(QAccessible::Name), QStringLiteral("末"));
    }
};

QTEST_MAIN(StatusBarAccess)
#include "tst_ui_status_bar_access.moc"
