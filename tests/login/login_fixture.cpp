#include "login_fixture.h"
#include "data/connection.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "login/form1.h"
#include "ui/error_modes.h"
#include "ui/form.h"
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace logintest {

void writeThreeAccounts(ddtest::DictionaryFolder &folder)
{
    folder.accounts({{QStringLiteral("002"), QStringLiteral("华东分公司"), {2011, 2010}},
                     {QStringLiteral("001"), QStringLiteral("Main"), {2009, 2011, 2010}},
                     {QStringLiteral("005"), QStringLiteral("空账套"), {}}});
}

void writeAccountsWithoutPeriodTable(const QString &folder, const QStringList &ids)
{
    const QString name = QStringLiteral("no_period_table");
    {
        QFile::remove(folder + QStringLiteral("/svsystem.db"));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(folder + QStringLiteral("/svsystem.db"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE ua_account (cAcc_id TEXT, cAcc_Name TEXT)")));
        for (const QString &id : ids)
            QVERIFY(q.exec(QStringLiteral("INSERT INTO ua_account VALUES ('%1', '账套%1')").arg(id)));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QStringList accountEntries(const QString &folder)
{
    dd::Connection cn;
    cn.Open(dd::sql::systemConnectionString(folder), QStringLiteral("sa"), QString());
    dd::Recordset rs = cn.Execute(dd::sql::accountQuery());
    QStringList entries;
    for (; !rs.EOF_(); rs.MoveNext())
        entries << dd::sql::accountEntry(rs.Fields(0).Value().toString(), rs.Fields(1).Value().toString());
    return entries;
}

QStringList years(const QString &folder, const QString &accountId)
{
    dd::Connection cn;
    cn.Open(dd::sql::systemConnectionString(folder), QStringLiteral("sa"), QString());
    dd::Recordset rs = cn.Execute(dd::sql::yearQuery(accountId));
    QStringList list;
    for (; !rs.EOF_(); rs.MoveNext())
        list << rs.Fields(0).Value().toString();
    return list;
}

void openLogin(const QString &server)
{
    login::setDefaultServer(server);
    ::Form1.Load();
    QVERIFY(::Form1->Visible());
    QVERIFY(QTest::qWaitForWindowActive(::Form1->widget()));
}

void resetAll()
{
    ui::resetProgram();
    ui::resumeNext([] { dd::PublicADO::closeAll(); });
    login::setDefaultServer(QStringLiteral("(local)"));
    login::setBrowserOpener({});
}

}  // namespace logintest
