// Controls: combo box rules, text box echo, buttons on Enter/Esc, labels,
// timers, twips geometry.
#include "test_window.h"
#include "data/error.h"
#include "ui/runtime.h"
#include "ui/twips.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>

using uitest::events;

class ControlsTest : public QObject {
    Q_OBJECT

private:
    // A shown, active test window with the focus in Text1.
    uitest::TestWindow &shown()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.Show();
        if (!QTest::qWaitForWindowActive(w.widget()))
            qWarning("test window not active");
        w.Text1.SetFocus();
        events().clear();
        return w;
    }

private slots:
    void cleanup()
    {
        ui::resetProgram();
        events().clear();
    }

    void listIndexSelectsAndClicksOnEveryAssignment()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.List1.AddItem(QStringLiteral("甲"));
        w.List1.AddItem(QStringLiteral("乙"));
        // Appending leaves the list without a selection.
        QCOMPARE(w.List1.ListIndex(), -1);
        QCOMPARE(w.List1.Text(), QString());
        events().clear();

        w.List1.setListIndex(1);
        QCOMPARE(w.List1.Text(), QStringLiteral("乙"));
        QCOMPARE(w.List1.comboBox()->currentText(), QStringLiteral("乙"));
        QCOMPARE(events(), QStringList{QStringLiteral("List1_Click")});

        // The same index again still raises Click.
        w.List1.setListIndex(1);
        QCOMPARE(events().count(QStringLiteral("List1_Click")), 2);
        w.List1.setListIndex(-1);
        QCOMPARE(w.List1.Text(), QString());
        QVERIFY(!events().contains(QStringLiteral("List1_Change")));
    }

    void listIndexOutOfRangeFailsWithoutChange()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.List1.AddItem(QStringLiteral("a"));
        w.List1.setListIndex(0);
        events().clear();
        for (int bad : {1, -2}) {
            try {
                w.List1.setListIndex(bad);
                QFAIL("no error");
            } catch (const dd::Error &e) {
                QCOMPARE(e.Number(), 380L);
                QVERIFY(!e.Description().isEmpty());
            }
        }
        QCOMPARE(w.List1.ListIndex(), 0);
        QVERIFY(events().isEmpty());

        // Selecting entry 0 of an empty list fails the same way.
        w.List1.Clear();
        QVERIFY_THROWS_EXCEPTION(dd::Error, w.List1.setListIndex(0));
    }

    void errorInClickReachesTheAssigningStatement()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.List1.AddItem(QStringLiteral("a"));
        w.List1.onClick = [] { throw dd::Error(3021, QStringLiteral("无当前记录")); };
        bool trappedHere = false;
        try {
            w.List1.setListIndex(0);
        } catch (const dd::Error &e) {
            trappedHere = e.Number() == 3021;
        }
        QVERIFY(trappedHere);
        QCOMPARE(w.List1.ListIndex(), 0);  // the selection was made before Click ran
        QVERIFY(!ui::programEnded());
    }

    void changeOnEditsAndTextAssignmentsOnly()
    {
        uitest::TestWindow &w = shown();
        w.Edit1.AddItem(QStringLiteral("GL_a"));
        w.Edit1.AddItem(QStringLiteral("GL_b"));
        w.Edit1.setText(QStringLiteral("请输入"));
        QCOMPARE(events(), QStringList{QStringLiteral("Edit1_Change:请输入")});

        events().clear();
        w.Edit1.AddItem(QStringLiteral("AR_x"));   // keeps the text
        QCOMPARE(w.Edit1.Text(), QStringLiteral("请输入"));
        w.Edit1.setListIndex(1);                   // Click, no Change
        QCOMPARE(w.Edit1.Text(), QStringLiteral("GL_b"));
        w.Edit1.Clear();                           // neither
        QCOMPARE(w.Edit1.Text(), QString());
        QCOMPARE(events(), QStringList{QStringLiteral("Edit1_Click")});

        // Every keystroke is one Change, seeing the text typed so far.
        w.Edit1.AddItem(QStringLiteral("GL_a"));
        events().clear();
        w.Edit1.SetFocus();
        QTest::keyClicks(w.Edit1.comboBox(), QStringLiteral("gl"));
        QCOMPARE(events(), (QStringList{QStringLiteral("Edit1_Change:g"), QStringLiteral("Edit1_Change:gl")}));
        QTest::keyClick(w.Edit1.comboBox(), Qt::Key_Backspace);
        QCOMPARE(events().last(), QStringLiteral("Edit1_Change:g"));
        QCOMPARE(w.Edit1.ListIndex(), -1);
    }

    void typedTextIsNotTurnedIntoAPick()
    {
        // Leaving an editable box whose text matches an entry (in another
        // letter case) neither picks that entry nor rewrites the text.
        uitest::TestWindow &w = shown();
        w.Edit1.AddItem(QStringLiteral("GL_a"));
        w.Edit1.SetFocus();
        QTest::keyClicks(w.Edit1.comboBox(), QStringLiteral("gl_a"));
        events().clear();
        QTest::keyClick(w.Edit1.comboBox(), Qt::Key_Tab);
        QCOMPARE(w.Edit1.Text(), QStringLiteral("gl_a"));
        QVERIFY(!events().contains(QStringLiteral("Edit1_Click")));
        w.Edit1.SetFocus();
        QTest::keyClick(w.Edit1.comboBox(), Qt::Key_Return);
        QCOMPARE(w.Edit1.Text(), QStringLiteral("gl_a"));
        QVERIFY(!events().contains(QStringLiteral("Edit1_Click")));
    }

    void userPickRaisesClick()
    {
        uitest::TestWindow &w = shown();
        w.List1.AddItem(QStringLiteral("2011"));
        w.List1.AddItem(QStringLiteral("2010"));
        w.List1.setListIndex(0);
        w.List1.SetFocus();
        events().clear();
        QTest::keyClick(w.List1.comboBox(), Qt::Key_Down);
        QCOMPARE(w.List1.ListIndex(), 1);
        QCOMPARE(w.List1.Text(), QStringLiteral("2010"));
        QCOMPARE(events(), QStringList{QStringLiteral("List1_Click")});

        // A pick-only list takes no typed text.
        QTest::keyClicks(w.List1.comboBox(), QStringLiteral("xyz"));
        QCOMPARE(w.List1.Text(), QStringLiteral("2010"));
        QVERIFY(!events().contains(QStringLiteral("List1_Change")));
    }

    void textFindsItsFirstEntryWhateverChangedTheList()
    {
        uitest::TestWindow &w = shown();
        auto typed = [&](const QString &text) {
            w.Edit1.comboBox()->lineEdit()->clear();
            QTest::keyClicks(w.Edit1.comboBox(), text);
            return w.Edit1.ListIndex();
        };
        w.Edit1.SetFocus();
        for (const char *name : {"AR_x", "GL_a", "AR_x", "GL_b"})
            w.Edit1.AddItem(QString::fromLatin1(name));
        QCOMPARE(typed(QStringLiteral("AR_x")), 0);  // the first of two
        QCOMPARE(typed(QStringLiteral("GL_b")), 3);
        QCOMPARE(typed(QStringLiteral("gl_b")), -1);  // exact case only

        // Entries appended after a search are found too, duplicates of
        // earlier ones still give the earlier entry.
        w.Edit1.AddItem(QStringLiteral("FA_z"));
        w.Edit1.AddItem(QStringLiteral("GL_a"));
        QCOMPARE(typed(QStringLiteral("FA_z")), 4);
        QCOMPARE(typed(QStringLiteral("GL_a")), 1);
        QCOMPARE(w.Edit1.comboBox()->count(), 6);
        QCOMPARE(w.Edit1.comboBox()->itemText(5), QStringLiteral("GL_a"));

        // Refilled after Clear: nothing of the old list is remembered.
        w.Edit1.Clear();
        w.Edit1.AddItem(QStringLiteral("GL_b"));
        QCOMPARE(typed(QStringLiteral("GL_b")), 0);
        QCOMPARE(typed(QStringLiteral("AR_x")), -1);

        // Changed through the widget itself: inserted before, renamed.
        QComboBox *box = w.Edit1.comboBox();
        {
            const QSignalBlocker block(box);
            box->insertItem(0, QStringLiteral("AP_q"));
            box->setItemText(1, QStringLiteral("GL_c"));
        }
        QCOMPARE(typed(QStringLiteral("AP_q")), 0);
        QCOMPARE(typed(QStringLiteral("GL_c")), 1);
        QCOMPARE(typed(QStringLiteral("GL_b")), -1);
        w.Edit1.AddItem(QStringLiteral("GL_b"));
        QCOMPARE(typed(QStringLiteral("GL_b")), 2);
        QCOMPARE(w.Edit1.List(2), QStringLiteral("GL_b"));
    }

    void droppedDownListShowsEveryEntryInTheBoxsFont()
    {
        // The entries drop down as a stock box with that font shows them,
        // and a click on what shows of an entry picks it.
        uitest::TestWindow &w = shown();
        QFont font = w.Edit1.comboBox()->font();
        font.setPointSizeF(font.pointSizeF() - 2);
        QStringList names;
        for (int i = 0; i < 50; ++i)
            names << (i % 7 ? QStringLiteral("GL_%1").arg(i) : QStringLiteral("总账_%1").arg(i));
        for (ui::ComboBox *combo : {&w.Edit1, &w.List1}) {
            combo->setFont(font);
            for (const QString &name : names)
                combo->AddItem(name);
            QComboBox *box = combo->comboBox();
            QComboBox stock(box->parentWidget());
            stock.setEditable(box->isEditable());
            stock.setGeometry(box->geometry());
            stock.setFont(font);
            stock.addItems(names);
            stock.show();
            for (QComboBox *b : {box, &stock}) {
                b->showPopup();
                QVERIFY(QTest::qWaitForWindowExposed(b->view()->window()));
            }
            QAbstractItemView *list = box->view();
            QCOMPARE(list->model()->rowCount(), 50);
            for (int row : {0, 49, 21}) {
                const QModelIndex entry = list->model()->index(row, 0);
                list->scrollTo(entry);
                QCOMPARE(list->visualRect(entry).height(),
                         stock.view()->visualRect(stock.model()->index(row, 0)).height());
                const QRect shown = list->visualRect(entry) & list->viewport()->rect();
                QCOMPARE(list->indexAt(shown.center()), entry);
            }
            QCOMPARE(list->window()->height(), stock.view()->window()->height());
            stock.hidePopup();
            box->hidePopup();
        }
    }

    void pickOnlyTextIsReadOnly()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.List1.AddItem(QStringLiteral("a"));
        w.List1.AddItem(QStringLiteral("b"));
        QVERIFY_THROWS_EXCEPTION(dd::Error, w.List1.setText(QStringLiteral("c")));
        w.List1.setText(QStringLiteral("b"));
        QCOMPARE(w.List1.ListIndex(), 1);
    }

    void gotFocusOnEntryNotWhenTheWindowComesBack()
    {
        uitest::TestWindow &w = shown();
        QTest::keyClick(w.Text1.lineEdit(), Qt::Key_Tab);
        QCOMPARE(events(), QStringList{QStringLiteral("List1_GotFocus")});

        // Another window takes the activation and gives it back: the focus
        // returns to the list, which is not an entry.
        QWidget other;
        other.resize(100, 50);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.hide();
        w.widget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.widget()));
        QCOMPARE(QApplication::focusWidget(), w.List1.widget());
        QCOMPARE(events().count(QStringLiteral("List1_GotFocus")), 1);

        // Leaving and entering again is a new entry.
        QTest::keyClick(w.List1.comboBox(), Qt::Key_Backtab);
        QCOMPARE(events().last(), QStringLiteral("Text1_GotFocus"));
        QTest::mouseClick(w.List1.comboBox(), Qt::LeftButton);
        QCOMPARE(events().count(QStringLiteral("List1_GotFocus")), 2);
    }

    void enterPressesDefaultEscPressesCancel()
    {
        uitest::TestWindow &w = shown();
        QTest::keyClick(w.Text1.lineEdit(), Qt::Key_Return);
        QCOMPARE(events(), QStringList{QStringLiteral("Ok_Click")});
        QTest::keyClick(w.Text1.lineEdit(), Qt::Key_Escape);
        QCOMPARE(events().last(), QStringLiteral("Exit_Click"));

        // Enter on a focused button presses that button.
        events().clear();
        w.Exit.SetFocus();
        QTest::keyClick(w.Exit.button(), Qt::Key_Return);
        QCOMPARE(events().join(','), QStringLiteral("Exit_Click"));

        // Esc from the pick-only list, and Enter never presses a disabled default.
        w.List1.SetFocus();
        events().clear();
        QTest::keyClick(w.List1.comboBox(), Qt::Key_Escape);
        QCOMPARE(events(), QStringList{QStringLiteral("Exit_Click")});
        events().clear();
        w.Ok.setEnabled(false);
        w.Text1.SetFocus();
        events().clear();
        QTest::keyClick(w.Text1.lineEdit(), Qt::Key_Return);
        QTest::keyClick(w.Text1.lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(events().isEmpty());

        // Clicks and Space.
        w.Ok.setEnabled(true);
        QTest::mouseClick(w.Ok.button(), Qt::LeftButton);
        w.Exit.SetFocus();
        QTest::keyClick(w.Exit.button(), Qt::Key_Space);
        QCOMPARE(events(), (QStringList{QStringLiteral("Ok_Click"), QStringLiteral("Exit_Click")}));
    }

    void passwordEchoAndTextEvents()
    {
        uitest::TestWindow &w = shown();
        w.Text1.setText(QString());
        w.Text1.setPasswordChar(QLatin1Char('*'));
        QTest::keyClicks(w.Text1.lineEdit(), QStringLiteral("s3cr"));
        QCOMPARE(w.Text1.Text(), QStringLiteral("s3cr"));
        QCOMPARE(w.Text1.lineEdit()->displayText(), QStringLiteral("****"));
        w.Text1.setEnabled(false);
        QVERIFY(!w.Text1.lineEdit()->isEnabled());
    }

    void labelAutoSizeGrowsToTheRight()
    {
        uitest::TestWindow &w = *TestWindow1;
        ui::Label &l = w.Label1;
        // A label without auto-size keeps its box whatever its text.
        l.setCaption(QStringLiteral("一段很长很长很长的说明文字"));
        QCOMPARE(l.Width(), 600.0f);
        QCOMPARE(l.Height(), 180.0f);

        l.setAutoSize(true);
        const QFontMetrics fm(l.label()->font());
        QCOMPARE(l.Width(), ui::pixelsToTwips(fm.horizontalAdvance(l.Caption())));
        QCOMPARE(l.Left(), 3000.0f);
        QCOMPARE(l.Top(), 300.0f);
        const float longWidth = l.Width();
        l.setCaption(QStringLiteral("短"));
        QVERIFY(l.Width() < longWidth);
        QCOMPARE(l.label()->geometry().left(), ui::twipsToPixels(3000));
        QCOMPARE(l.label()->width(), ui::twipsToPixels(l.Width()));
        QCOMPARE(l.label()->text(), QStringLiteral("短"));

        // A larger font refits the text.
        const float smallWidth = l.Width();
        QFont big = l.Font();
        big.setPointSizeF(big.pointSizeF() * 3);
        l.setFont(big);
        QVERIFY(l.Width() > smallWidth);
        QCOMPARE(l.Left(), 3000.0f);
    }

    void labelColoursAndStacking()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.Label1.setForeColor(QColor(255, 0, 0));
        w.Label1.setBackColor(ui::systemWindowBackground());
        QVERIFY(w.Label1.label()->autoFillBackground());
        QCOMPARE(w.Label1.label()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(w.Label1.label()->palette().color(QPalette::Window), ui::systemWindowBackground());
        // Labels lie below the input controls and never take the focus.
        const QObjectList children = w.widget()->children();
        QVERIFY(children.indexOf(w.Label1.widget()) < children.indexOf(w.Text1.widget()));
        QCOMPARE(w.Label1.widget()->focusPolicy(), Qt::NoFocus);
    }

    void twipsGeometry()
    {
        QCOMPARE(ui::twipsToPixels(15), 1);
        QCOMPARE(ui::twipsToPixels(2655), 177);
        QCOMPARE(ui::twipsToPixels(7), 0);
        QCOMPARE(ui::twipsToPixels(8), 1);
        QCOMPARE(ui::pixelsToTwips(458), 6870.0f);
        QCOMPARE(ui::twipsRect(3720, 1320, 2655, 300), QRect(248, 88, 177, 20));

        uitest::TestWindow &w = *TestWindow1;
        QCOMPARE(w.widget()->size(), QSize(400, 200));
        QCOMPARE(w.ScaleHeight(), 3000.0f);
        QCOMPARE(w.ScaleWidth(), 6000.0f);
        QCOMPARE(w.Text1.widget()->geometry(), QRect(20, 20, 160, 20));
        // Layout arithmetic keeps fractions of a pixel in the stored values.
        w.Text1.setTop(w.Text1.Top() + 1.5f * 181.0f);
        QCOMPARE(w.Text1.Top(), 571.5f);
        QCOMPARE(w.Text1.widget()->y(), 38);
        // The window cannot be resized.
        QCOMPARE(w.widget()->minimumSize(), w.widget()->maximumSize());
    }

    void timerRaisesWhileEnabledAndLoaded()
    {
        uitest::TestWindow &w = *TestWindow1;
        w.Timer1.setInterval(5);
        QVERIFY(!w.Timer1.timer()->isActive());
        w.Timer1.setEnabled(true);
        QTRY_VERIFY(events().contains(QStringLiteral("Timer1_Timer")));
        w.Timer1.setInterval(0);
        QVERIFY(!w.Timer1.timer()->isActive());
        w.Timer1.setInterval(5);
        QVERIFY(w.Timer1.timer()->isActive());
        QTimer *t = w.Timer1.timer();
        w.Unload();
        QVERIFY(!t->isActive());
    }
};

QTEST_MAIN(ControlsTest)
#include "tst_ui_controls.moc"
