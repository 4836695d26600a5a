// Runtime functions and the three error modes.
#include "ui/error_modes.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/runtime.h"
#include <QApplication>
#include <QDate>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTimer>

class RuntimeTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { ui::resetProgram(); }

    void msgBoxHandlerSeesEveryBox()
    {
        QStringList seenInside;
        {
            ui::ScopedMsgBoxHandler boxes(
                [&](const ui::MsgBoxCall &c) { seenInside << c.prompt; });
            QCOMPARE(ui::MsgBox(QStringLiteral("服务器上没有账套"), ui::vbOKOnly, QStringLiteral("提示")),
                     ui::vbOK);
            ui::MsgBox(QStringLiteral("本字典中没有包含【Z】开头的表，请重新输入"), ui::vbInformation,
                       QStringLiteral("提示"));
            QCOMPARE(boxes.calls().size(), 2);
            QCOMPARE(boxes.calls()[0].buttons, 0);
            QCOMPARE(boxes.calls()[1].buttons, 64);
            QCOMPARE(boxes.calls()[1].title, QStringLiteral("提示"));
            {
                // Nested handlers restore the outer one.
                ui::ScopedMsgBoxHandler inner;
                ui::MsgBox(QStringLiteral("x"));
                QCOMPARE(inner.calls().size(), 1);
            }
            ui::MsgBox(QStringLiteral("y"));
            QCOMPARE(boxes.calls().size(), 3);
        }
        QCOMPARE(seenInside.size(), 3);
    }

    // The toolkit's own box, as the user sees it: the title, the one button,
    // and a prompt shown exactly as given even when it looks like markup.
    void msgBoxShowsThePromptAsPlainText()
    {
        const QString prompt = QStringLiteral("本字典中没有包含【<b>x</b>&amp;】开头的表，请重新输入");
        QString title, shown, button;
        Qt::TextFormat format = Qt::RichText;
        const auto readAndClose = [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            format = box->textFormat();
            shown = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
            QAbstractButton *ok = box->buttons().value(0);
            button = ok ? ok->text() : QString();
            QTest::keyClick(box, Qt::Key_Escape);
        };
        int answer = 0;
        // From inside the application's own loop: the previous test's end
        // of program has told any loop started outside it to quit at once.
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, readAndClose);
            answer = ui::MsgBox(prompt, ui::vbInformation, QStringLiteral("提示"));
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
        QCOMPARE(answer, ui::vbOK);
        QCOMPARE(title, QStringLiteral("提示"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, prompt);
        QCOMPARE(button, QStringLiteral("确定"));
    }

    void untrappedReportsNumberAndDescriptionThenEnds()
    {
        ui::ScopedMsgBoxHandler boxes;
        bool after = false;
        ui::untrapped([&] {
            throw dd::Error(380, QStringLiteral("无效的属性值"));
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(boxes.calls().size(), 1);
        QCOMPARE(boxes.calls()[0].prompt, QStringLiteral("运行时错误 '380':\n\n无效的属性值"));
        QVERIFY(ui::programEnded());

        // An error that is no dd::Error is reported too, never lost.
        ui::resetProgram();
        ui::untrapped([] { throw std::runtime_error("boom"); });
        QCOMPARE(boxes.calls().size(), 2);
        QVERIFY(ui::programEnded());
    }

    void resumeNextSkipsAndTrappedHandsOver()
    {
        QStringList ran;
        ui::resumeNext([&] { ran << "1"; });
        QVERIFY(!ui::resumeNext([&] {
            throw dd::Error(3704, QStringLiteral("对象关闭时，不允许操作。"));
            ran << "never";
        }));
        ui::resumeNext([&] { ran << "3"; });
        QCOMPARE(ran, (QStringList{"1", "3"}));

        long number = 0;
        ui::trapped([&] { throw dd::Error(18456, QStringLiteral("用户 'sa' 登录失败。")); },
                    [&](const dd::Error &e) { number = e.Number(); });
        QCOMPARE(number, 18456L);
        QVERIFY(!ui::programEnded());
    }

    void midIsOneBased()
    {
        QCOMPARE(ui::Mid(QStringLiteral("[001]Main"), 2, 3), QStringLiteral("001"));
        QCOMPARE(ui::Mid(QStringLiteral("[01]X"), 2, 3), QStringLiteral("01]"));
        QCOMPARE(ui::Mid(QStringLiteral("abc"), 2), QStringLiteral("bc"));
        QCOMPARE(ui::Mid(QStringLiteral("abc"), 5, 2), QString());
        QCOMPARE(ui::Mid(QStringLiteral("abc"), 3, 10), QStringLiteral("c"));
        QVERIFY_THROWS_EXCEPTION(dd::Error, ui::Mid(QStringLiteral("abc"), 0, 1));
    }

    void nowIsTodayWithSeconds()
    {
        const QString now = ui::Now();
        const QLocale locale = QLocale::system();
        QVERIFY2(now.startsWith(locale.toString(QDate::currentDate(), QLocale::ShortFormat)) ||
                     now.startsWith(locale.toString(QDate::currentDate().addDays(-1), QLocale::ShortFormat)),
                 qPrintable(now));
        // Hours, minutes and seconds: two separators after the date.
        const QString time = now.section(QLatin1Char(' '), 1);
        QVERIFY2(time.count(QLatin1Char(':')) == 2, qPrintable(now));
    }

    void songFontDrawsChineseWhereverItIsMissing()
    {
        const QFont f = ui::designFont(QStringLiteral("宋体"), 10.5, true);
        QCOMPARE(f.families().first(), QStringLiteral("宋体"));
        QCOMPARE(f.pointSizeF(), 10.5);
        QCOMPARE(f.weight(), QFont::Bold);
        QCOMPARE(ui::fontCharset(f), ui::GB2312_CHARSET);
        // The face actually used has the glyphs of the text.
        const QString text = QStringLiteral("正在初始化数据字典,请稍后");
        const QRawFont raw = QRawFont::fromFont(f, QFontDatabase::SimplifiedChinese);
        QVERIFY(raw.isValid());
        for (const QChar c : text)
            QVERIFY2(raw.supportsCharacter(c), qPrintable(QString(c) + " " + raw.familyName()));
    }
};

QTEST_MAIN(RuntimeTest)
#include "tst_ui_runtime.moc"
