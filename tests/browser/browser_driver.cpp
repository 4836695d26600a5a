#include "browser_driver.h"
#include "data/public_ado.h"
#include "dictionary_generator.h"
#include "ui/form.h"
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace brtest {

namespace {
int unexpectedBox(const QString &prompt, int, const QString &title)
{
    qWarning("unexpected message box \"%s\": %s", qPrintable(title), qPrintable(prompt));
    return ui::vbOK;
}
}  // namespace

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    ui::deleteDiscardedForms();
}

void endProgram()
{
    ui::resetProgram();
    settle();
    dd::PublicADO::closeAll();
    ui::resetProgram();
}

void startProgram()
{
    endProgram();
    const ui::MsgBoxHandler current = ui::setMsgBoxHandler({});
    ui::setMsgBoxHandler(current ? current : ui::MsgBoxHandler(unexpectedBox));
    ::Form1.Load();
    QVERIFY(::Form1.isLoaded());
    QVERIFY(QTest::qWaitForWindowActive(::Form1->widget()));
}

void logIn(const QString &server, const QString &password)
{
    QVERIFY(::Form1.isLoaded());
    login::Form1 &f = *::Form1;
    QTest::mouseClick(f.Text1.lineEdit(), Qt::LeftButton);
    QTest::keyClick(f.Text1.lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(f.Text1.lineEdit(), server);
    QTest::keyClick(f.Text1.lineEdit(), Qt::Key_Tab);
    QTest::keyClicks(f.Text2.lineEdit(), password);
    QTest::keyClick(f.Text2.lineEdit(), Qt::Key_Tab);
    QVERIFY2(f.Combo1.ListCount() > 0, "the accounts did not load");
}

void choose(ui::ComboBox &box, const QString &entry)
{
    QComboBox *cb = box.comboBox();
    const int target = cb->findText(entry);
    QVERIFY2(target >= 0, qPrintable(entry));
    for (int guard = 0; cb->currentIndex() != target && guard < 1000; ++guard)
        QTest::keyClick(cb, cb->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(box.Text(), entry);
}

void clickOk()
{
    QVERIFY(::Form1.isLoaded() && ::Form1->Command1.Enabled());
    QTest::mouseClick(::Form1->Command1.button(), Qt::LeftButton);
}

browser::Form2 *openBrowser(const QString &server)
{
    startProgram();
    if (!QTest::currentTestFailed())
        logIn(server);
    if (!QTest::currentTestFailed())
        clickOk();
    return QTest::currentTestFailed() ? nullptr : ::Form2.loaded();
}

void typeTableName(const QString &text)
{
    QVERIFY(::Form2.isLoaded());
    QTest::keyClicks(::Form2->Combo1.comboBox()->lineEdit(), text);
}

void eraseTableName()
{
    QVERIFY(::Form2.isLoaded());
    QLineEdit *edit = ::Form2->Combo1.comboBox()->lineEdit();
    QTest::keyClick(edit, Qt::Key_End);
    for (int guard = 0; !edit->text().isEmpty() && guard < 200; ++guard)
        QTest::keyClick(edit, Qt::Key_Backspace);
}

void pickFromList(QComboBox *box, int index)
{
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView *list = box->view();
    QVERIFY(list->isVisible());
    const QModelIndex item = list->model()->index(index, box->modelColumn());
    list->scrollTo(item);
    const QPoint at = list->visualRect(item).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!list->isVisible());
}

void clickRow(ui::DataGrid &grid, int row)
{
    QTableView *view = grid.tableView();
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

void doubleClickPanel(ui::StatusBar &bar, int index)
{
    QTest::mouseDClick(bar.widget(), Qt::LeftButton, {}, bar.panelRect(index).center());
}

QStringList column(ui::DataGrid &grid, int c)
{
    QStringList out;
    const QAbstractItemModel *m = grid.tableView()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, c).data().toString();
    return out;
}

QStringList headers(ui::DataGrid &grid)
{
    QStringList out;
    for (int c = 0; c < grid.ColumnCount(); ++c)
        out << grid.tableView()->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QList<int> highlightedRows(ui::DataGrid &grid)
{
    QList<int> rows;
    for (const QModelIndex &i : grid.tableView()->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList entries(const ui::ComboBox &box)
{
    QStringList out;
    for (int i = 0; i < box.ListCount(); ++i)
        out << box.List(i);
    return out;
}

void breakCatalog(const QString &folder, const QString &catalog)
{
    QTemporaryDir scratch;
    QVERIFY(dictgen::writeEmptyCatalog(scratch.path(), QStringLiteral("empty")));
    QFile empty(scratch.filePath(QStringLiteral("empty.db")));
    QVERIFY(empty.open(QIODevice::ReadOnly));
    QByteArray bytes = empty.readAll();
    QVERIFY(bytes.size() >= 100);
    // A change counter and schema cookie the connection has not seen, so
    // that it reads the file anew.
    qToBigEndian<quint32>(0x5a5a0001u, bytes.data() + 24);
    qToBigEndian<quint32>(0x5a5a0001u, bytes.data() + 92);
    qToBigEndian<quint32>(0x5a5a0002u, bytes.data() + 40);
    QFile target(folder + QLatin1Char('/') + catalog + QStringLiteral(".db"));
    QVERIFY(target.open(QIODevice::ReadWrite) && target.resize(0));  // the same file
    QCOMPARE(target.write(bytes), qint64(bytes.size()));
}

bool exportThroughDialog(browser::Form2 &b, int scope, const QString &target,
                         const std::function<void(QFileDialog &)> &more)
{
    bool sawDialog = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll.stop();
        sawDialog = true;
        d->findChild<QComboBox *>("exportScope")->setCurrentIndex(scope);
        d->selectNameFilter("CSV 文件 (*.csv)");
        d->findChild<QLineEdit *>("fileNameEdit")->setText(target);
        if (more)
            more(*d);
        QMetaObject::invokeMethod(d, "accept");
    });
    poll.start();
    QApplication::setActiveWindow(b.widget());
    // An earlier end of the loop (QCoreApplication::exit) would make the
    // modal dialog return at once.
    QTimer::singleShot(0, [&] {
        QTest::keyClick(b.DataGrid2.tableView(), Qt::Key_S, Qt::ControlModifier);
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return sawDialog;
}

}  // namespace brtest
