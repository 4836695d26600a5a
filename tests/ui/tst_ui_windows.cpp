// Windows: loading on first reference, Show/Hide/Unload, fresh windows
// after an unload, the end of the program, owners and the close box.
#include "test_window.h"
#include "ui/runtime.h"
#include "data/error.h"
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWindow>

using uitest::events;

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        ui::resetProgram();
        events().clear();
    }

    void firstReferenceLoadsOnce()
    {
        QVERIFY(!TestWindow1.isLoaded());
        TestWindow1->Text1.Text();
        TestWindow1->Text1.Text();
        QCOMPARE(events(), QStringList{QStringLiteral("Form_Load")});
        QVERIFY(!TestWindow1->Visible());

        // Showing raises Resize and Activate once; showing again neither.
        TestWindow1->Show();
        QCOMPARE(events(), (QStringList{QStringLiteral("Form_Load"), QStringLiteral("Form_Resize"),
                                        QStringLiteral("Form_Activate")}));
        QVERIFY(QTest::qWaitForWindowActive(TestWindow1->widget()));
        TestWindow1->Show();
        QCOMPARE(events().size(), 3);
        TestWindow1->Hide();
        QVERIFY(!TestWindow1->Visible());
        QVERIFY(TestWindow1.isLoaded());
    }

    void unloadDiscardsAndTheNextReferenceIsFresh()
    {
        uitest::TestWindow *first = &*TestWindow1;
        first->Show();
        first->Text1.setText(QStringLiteral("typed"));
        first->List1.AddItem(QStringLiteral("x"));
        const int destroyedBefore = uitest::destroyed();

        TestWindow1.Unload();
        QVERIFY(!TestWindow1.isLoaded());
        QVERIFY(!first->widget()->isVisible());
        QCOMPARE(events().count(QStringLiteral("Form_Unload")), 1);
        TestWindow1.Unload();  // not loaded: nothing
        QCOMPARE(events().count(QStringLiteral("Form_Unload")), 1);

        TestWindow1->Show();
        QVERIFY(&*TestWindow1 != first || uitest::destroyed() > destroyedBefore);
        QCOMPARE(TestWindow1->Text1.Text(), QStringLiteral("design"));
        QCOMPARE(TestWindow1->List1.ListCount(), 0);
        QCOMPARE(events().count(QStringLiteral("Form_Load")), 2);
        ui::deleteDiscardedForms();
        QCOMPARE(uitest::destroyed(), destroyedBefore + 1);
    }

    void cancelInUnloadKeepsTheWindow()
    {
        TestWindow1->Show();
        TestWindow1->unloadAction = [](int &cancel) { cancel = 1; };
        TestWindow1.Unload();
        QVERIFY(TestWindow1.isLoaded());
        QVERIFY(TestWindow1->Visible());
    }

    void handlerUnloadsItsOwnWindowAndGoesOn()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.Show();
        QVERIFY(QTest::qWaitForWindowActive(w.widget()));
        const int destroyedBefore = uitest::destroyed();
        QString readAfterUnload;
        w.Ok.onClick = [&w, &readAfterUnload] {
            w.Unload();
            // Still usable until the handler returns.
            readAfterUnload = w.Text1.Text() + w.Ok.Caption();
            w.Label1.setCaption(QStringLiteral("after"));
        };
        QTest::mouseClick(w.Ok.button(), Qt::LeftButton);
        QCOMPARE(readAfterUnload, QStringLiteral("design确定"));
        QVERIFY(!TestWindow1.isLoaded());
        QTRY_COMPARE(uitest::destroyed(), destroyedBefore + 1);
    }

    void lastWindowUnloadedEndsTheProgram()
    {
        TestWindow1->Show();
        OtherWindow1->Show();
        TestWindow1.Unload();
        QCoreApplication::processEvents();
        QVERIFY(!ui::programEnded());
        OtherWindow1.Unload();
        QVERIFY(!ui::programEnded());  // only once the handlers are done
        QTRY_VERIFY(ui::programEnded());
        QVERIFY(ui::Form::loadedForms().empty());
    }

    void showingAFreshWindowInTheSameHandlerKeepsItRunning()
    {
        // As going back from one window to a fresh other one: everything is
        // unloaded, then a new window is shown, all in one handler.
        uitest::TestWindow &w = *TestWindow1;
        w.Show();
        w.Ok.onClick = [] {
            TestWindow1.Unload();
            OtherWindow1->Show();
        };
        QTest::mouseClick(w.Ok.button(), Qt::LeftButton);
        QTest::qWait(0);
        QCoreApplication::processEvents();
        QVERIFY(!ui::programEnded());
        QVERIFY(OtherWindow1.isLoaded());
        QVERIFY(OtherWindow1->Visible());
    }

    void endDiscardsEveryWindowWithoutUnloadEvents()
    {
        TestWindow1->Show();
        OtherWindow1->Show();
        events().clear();
        ui::End();
        QVERIFY(ui::programEnded());
        QVERIFY(events().isEmpty());
        QVERIFY(!TestWindow1.isLoaded());
        QVERIFY(!OtherWindow1.isLoaded());
        ui::deleteDiscardedForms();
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!top->isVisible());
    }

    void closeBoxUnloads()
    {
        TestWindow1->Show();
        TestWindow1->widget()->close();
        QVERIFY(!TestWindow1.isLoaded());
        QCOMPARE(events().count(QStringLiteral("Form_Unload")), 1);

        // A window without a close box cannot be closed.
        OtherWindow1->Show();
        QVERIFY(!(OtherWindow1->widget()->windowFlags() & Qt::WindowCloseButtonHint));
        OtherWindow1->widget()->close();
        QVERIFY(OtherWindow1.isLoaded());
        QVERIFY(OtherWindow1->Visible());
    }

    void ownedWindowIsCentredOverItsOwnerAndKeptAbove()
    {
        TestWindow1->widget()->move(100, 80);
        TestWindow1->Show();
        TestWindow1->Hide();  // an owner that is hidden still gives the place
        OtherWindow1->Show(&*TestWindow1);
        QCOMPARE(OtherWindow1->owner(), &*TestWindow1);
        QWindow *handle = OtherWindow1->widget()->windowHandle();
        QVERIFY(handle);
        QCOMPARE(handle->transientParent(), TestWindow1->widget()->windowHandle());
        const QPoint ownerCentre = TestWindow1->widget()->frameGeometry().center();
        const QPoint centre = OtherWindow1->widget()->frameGeometry().center();
        QVERIFY2((ownerCentre - centre).manhattanLength() <= 40, "not centred over the owner");

        // The owner's unload leaves the owned window without an owner.
        TestWindow1.Unload();
        QCOMPARE(OtherWindow1->owner(), nullptr);
        QCOMPARE(handle->transientParent(), nullptr);
    }

    void everyWindowCarriesTheProgramIcon()
    {
        const QIcon icon = TestWindow1->widget()->windowIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(48, 48)));
    }

    void errorInAUserEventIsFatal()
    {
        ui::ScopedMsgBoxHandler boxes;
        uitest::TestWindow &w = *TestWindow1;
        w.Show();
        w.Ok.onClick = [] { throw dd::Error(4060, QStringLiteral("无法打开数据库")); };
        QTest::mouseClick(w.Ok.button(), Qt::LeftButton);
        QCOMPARE(boxes.calls().size(), 1);
        QVERIFY(boxes.calls()[0].prompt.contains(QStringLiteral("4060")));
        QVERIFY(boxes.calls()[0].prompt.contains(QStringLiteral("无法打开数据库")));
        QVERIFY(ui::programEnded());
        QVERIFY(!TestWindow1.isLoaded());
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_ui_windows.moc"
