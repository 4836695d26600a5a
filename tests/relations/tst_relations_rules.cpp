// The rules links are inferred by, case by case: each kind of evidence,
// letter case and width, hubs, a table's own key, types and lengths, keys
// the database declares; and the join path and SELECT over them.
#include "relations_fixture.h"
#include "relations/join_path.h"
#include "relations/join_statement.h"
#include "relations/relations.h"
#include <QTest>

using namespace dd::relations;

namespace {

// "Name|描述|field:meaning:type,field:meaning:type"; a trailing "*N" makes N
// tables, Name1..NameN. The first field comes first.
QVector<dictgen::TableRow> tablesOf(const QStringList &lines)
{
    QVector<dictgen::TableRow> tables;
    for (QString line : lines) {
        int copies = 0;
        const int star = line.lastIndexOf(QLatin1Char('*'));
        if (star > 0) {
            copies = line.mid(star + 1).toInt();
            line = line.left(star);
        }
        const QStringList parts = line.split(QLatin1Char('|'));
        dictgen::TableRow t;
        t.systemid = QStringLiteral("01");
        t.module = QStringLiteral("总账");
        t.name = parts.value(0);
        t.description = parts.value(1);
        for (const QString &field : parts.value(2).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QStringList f = field.split(QLatin1Char(':'));
            t.fields.append({f.value(0), f.value(1), f.value(2)});
        }
        if (copies == 0) {
            tables.append(t);
            continue;
        }
        for (int i = 1; i <= copies; ++i) {
            dictgen::TableRow copy = t;
            copy.name += QString::number(i);
            copy.description += QString::number(i);
            tables.append(copy);
        }
    }
    return tables;
}

// "Parent.field 依据 可信度 [长度]" for each link from the child field.
QStringList linksFrom(const Relations &r, const QString &child)
{
    const dd::Dictionary &d = r.dictionary();
    QStringList out;
    for (const Link &l : r.links()) {
        if (d.tables[size_t(l.child)].name + QLatin1Char('.') + d.fields[size_t(l.childField)].name != child)
            continue;
        QString text = d.tables[size_t(l.parent)].name + QLatin1Char('.') + d.fields[size_t(l.parentField)].name
                       + QLatin1Char(' ') + evidenceText(l.evidence) + QLatin1Char(' ') + confidenceText(l.confidence);
        if (!l.lengthDifference.isEmpty())
            text += QLatin1Char(' ') + l.lengthDifference;
        out << text;
    }
    return out;
}

const QString Inventory = QStringLiteral("Inventory|存货档案|cInvCode:存货编码:nvarchar(20),cInvName:存货名称:nvarchar(60)");

}  // namespace

class RelationsRules : public QObject {
    Q_OBJECT
private slots:
    void infers_data();
    void infers();
    void declaredForeignKeysAreHigh();
    void joinsAlongTheBestPath();
    void saysWhenNoPathJoins();
};

void RelationsRules::infers_data()
{
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("same name and meaning")
        << QStringList{Inventory, "Stock|现存量|AutoID:自动编号:int,cInvCode:存货编码:nvarchar(20)"}
        << "Stock.cInvCode" << QStringList{"Inventory.cInvCode 同名键+含义相同 高"};
    QTest::newRow("letter case of the name")
        << QStringList{Inventory, "Stock|现存量|AutoID:自动编号:int,CINVCODE:存货编码:nvarchar(20)"}
        << "Stock.CINVCODE" << QStringList{"Inventory.cInvCode 同名键+含义相同 高"};
    QTest::newRow("width and spaces of the meaning")
        << QStringList{"Dept|部门档案|cDepCode:部门ＩＤ:nvarchar(12)",
                       "Staff|职员档案|cPsnCode:职员编码:nvarchar(20),cDept:部门 id:nvarchar(12)"}
        << "Staff.cDept" << QStringList{"Dept.cDepCode 含义相同 高"};
    QTest::newRow("another name, the same meaning")
        << QStringList{Inventory, "Stock|现存量|AutoID:自动编号:int,cGoods:存货编码:nvarchar(20)"}
        << "Stock.cGoods" << QStringList{"Inventory.cInvCode 含义相同 高"};
    QTest::newRow("the same name, another meaning")
        << QStringList{"Subject|会计科目|ccode:科目编码:nvarchar(40)",
                       "Order|订单|ID:单据ID:int,cCode:单据编号:nvarchar(30)"}
        << "Order.cCode" << QStringList{"Subject.ccode 同名键 低 30/40"};
    QTest::newRow("the same name, a code of the same thing")
        << QStringList{Inventory, "Stock|现存量|AutoID:自动编号:int,cInvCode:存货代码:nvarchar(20)"}
        << "Stock.cInvCode" << QStringList{"Inventory.cInvCode 同名键 高"};
    QTest::newRow("a name without meaning")
        << QStringList{Inventory, "Stock|现存量|AutoID:自动编号:int,cInvCode::nvarchar(20)"}
        << "Stock.cInvCode" << QStringList{"Inventory.cInvCode 同名键 高"};
    QTest::newRow("header and lines by name")
        << QStringList{"Vouch|应收单|ID:单据ID:int,cCode:单据编号:nvarchar(30)",
                       "Vouchs|应收单行|AutoID:自动编号:int,ID:单据ID:int"}
        << "Vouchs.ID" << QStringList{"Vouch.ID 同名键+含义相同+主子表 高"};
    QTest::newRow("header and lines: Main and Detail")
        << QStringList{"SaleMain|销售单|SaleID:单据ID:int,cCode:单据编号:nvarchar(30)",
                       "SaleDetail|销售单行|AutoID:自动编号:int,SaleID:单据ID:int"}
        << "SaleDetail.SaleID" << QStringList{"SaleMain.SaleID 同名键+含义相同+主子表 高"};
    QTest::newRow("header and lines by description, key to key")
        << QStringList{"OrderHead|采购订单主表|ID:单据ID:int,cCode:单据编号:nvarchar(30)",
                       "OrderBody|采购订单子表|ID:单据ID:int,iRow:行号:int"}
        << "OrderBody.ID" << QStringList{"OrderHead.ID 同名键+含义相同+主子表 高"};
    QTest::newRow("a key never links to another table's key")
        << QStringList{Inventory, "InvExtra|存货扩展|cInvCode:存货编码:nvarchar(20),cColor:颜色:nvarchar(20)"}
        << "InvExtra.cInvCode" << QStringList{};
    QTest::newRow("hub: a name in many tables, keyed in one")
        << QStringList{"RowSet|行号设置|iRowNo:行号:int,cNote:说明:nvarchar(20)",
                       "Line|明细|AutoID:自动编号:int,iRowNo:行号:int*9"}
        << "Line3.iRowNo" << QStringList{"RowSet.iRowNo 同名键+含义相同 低"};
    QTest::newRow("hub: keyed in many tables")
        << QStringList{"Line|明细|AutoID:自动编号:int,iRowNo:行号:int*9",
                       "Barcode|条码|cBarCode:条码:nvarchar(60),AutoID:自动编号:int"}
        << "Barcode.AutoID" << QStringList{};
    QTest::newRow("popular code of a plain master is no hub")
        << QStringList{Inventory, "Use|领用|AutoID:自动编号:int,cInvCode:存货编码:nvarchar(20)*12"}
        << "Use7.cInvCode" << QStringList{"Inventory.cInvCode 同名键+含义相同 高"};
    QTest::newRow("types of different families")
        << QStringList{Inventory, "Log|日志|AutoID:自动编号:int,cInvCode:存货编码:datetime"}
        << "Log.cInvCode" << QStringList{"Inventory.cInvCode 同名键+含义相同 中"};
    QTest::newRow("free-text types are not compared")
        << QStringList{"Inventory|存货档案|cInvCode:存货编码:字符型", "Log|日志|AutoID:自动编号:int,cInvCode:存货编码:datetime"}
        << "Log.cInvCode" << QStringList{"Inventory.cInvCode 同名键+含义相同 高"};
    QTest::newRow("a length difference is shown")
        << QStringList{Inventory, "Stock|现存量|AutoID:自动编号:int,cInvCode:存货编码:nvarchar(30)"}
        << "Stock.cInvCode" << QStringList{"Inventory.cInvCode 同名键+含义相同 高 30/20"};
    QTest::newRow("the master among tables keyed alike")
        << QStringList{"InvPrice|存货价格表|cInvCode:存货编码:nvarchar(20),iPrice:单价:decimal(18,2)", Inventory,
                       "Stock|现存量|AutoID:自动编号:int,cInvCode:存货编码:nvarchar(20)"}
        << "Stock.cInvCode" << QStringList{"Inventory.cInvCode 同名键+含义相同 高"};
    QTest::newRow("a master's code after its id")
        << QStringList{"Goods|商品档案|iID:自动编号:int,cGoodsCode:商品编码:nvarchar(20)",
                       "Sale|销售|AutoID:自动编号:int,cGoodsCode:商品编码:nvarchar(20)"}
        << "Sale.cGoodsCode" << QStringList{"Goods.cGoodsCode 同名键+含义相同 高"};
    QTest::newRow("a first field that is no code is no key")
        << QStringList{"Calendar|工作日历|dDate:日期:datetime", "Order|订单|ID:单据ID:int,dDate:日期:datetime"}
        << "Order.dDate" << QStringList{};
}

void RelationsRules::infers()
{
    QFETCH(QStringList, tables);
    QFETCH(QString, child);
    QFETCH(QStringList, expected);
    const auto relations = Relations::build(reltest::dictionaryOf(tablesOf(tables)));
    QCOMPARE(linksFrom(*relations, child), expected);
}

// A declared foreign key is 高 whatever the names say, and the catalog's
// keys replace the dictionary's guess: a date keyed in the database links
// by name, though weakly, as its meanings differ.
void RelationsRules::declaredForeignKeysAreHigh()
{
    const auto tables = tablesOf({"Calendar|工作日历|dDate:日期:datetime,bWork:工作日:bit",
                                  "Order|订单|ID:单据ID:int,dDate:单据日期:datetime,xRef:备用:int",
                                  "Target|目标|nKey:序:int"});
    const auto relations = Relations::build(
        reltest::dictionaryOf(tables),
        reltest::catalogOf(tables, {{"Calendar", "dDate", {}, {}}, {"Target", "nKey", {}, {}},
                                    {"Order", "xRef", "Target", "nKey"}}));
    QCOMPARE(linksFrom(*relations, "Order.xRef"), QStringList{"Target.nKey 外键 高"});
    QCOMPARE(linksFrom(*relations, "Order.dDate"), QStringList{"Calendar.dDate 同名键 低"});
}

void RelationsRules::joinsAlongTheBestPath()
{
    const auto tables = tablesOf({Inventory, "Order|订单主表|ID:单据ID:int,cCusCode:客户编码:nvarchar(20)",
                                  "OrderLine|订单子表|AutoID:自动编号:int,ID:单据ID:int,cInvCode:存货编码:nvarchar(20)",
                                  "Customer|客户档案|cCusCode:客户编码:nvarchar(20),cCusName:客户名称:nvarchar(60)"});
    const auto relations = Relations::build(reltest::dictionaryOf(tables));
    const dd::Dictionary &d = relations->dictionary();
    // Inventory and Customer: two tables passed through, three joins.
    const JoinPlan plan = planJoin(*relations, {0, 3});
    QStringList order;
    for (const JoinPlan::Step &s : plan.steps)
        order << d.tables[size_t(s.table)].name + (s.chosen ? "" : "~");
    QCOMPARE(order, (QStringList{"Inventory", "OrderLine~", "Order~", "Customer"}));
    QVERIFY(plan.unreachable.empty());
    const QString sql = joinStatement(*relations, plan);
    QVERIFY2(sql.startsWith("select a.cInvCode, -- 存货编码\n       a.cInvName, -- 存货名称\n"
                            "       d.cCusCode, -- 客户编码\n       d.cCusName -- 客户名称\n"
                            "from Inventory a -- Inventory（存货档案）\n"
                            "     left join OrderLine b on b.cInvCode = a.cInvCode -- 经由 OrderLine（订单子表）"),
             qPrintable(sql));
    QVERIFY2(sql.contains("left join [Order] c on c.ID = b.ID"), qPrintable(sql));
    QVERIFY2(sql.contains("left join Customer d on d.cCusCode = c.cCusCode -- Customer（客户档案）；同名键+含义相同，高"),
             qPrintable(sql));
}

void RelationsRules::saysWhenNoPathJoins()
{
    // Five tables in a chain: the ends are four joins apart.
    const auto tables = tablesOf({"A|甲档案|cACode:甲编码:nvarchar(9)",
                                  "B|乙档案|cBCode:乙编码:nvarchar(9),cACode:甲编码:nvarchar(9)",
                                  "C|丙档案|cCCode:丙编码:nvarchar(9),cBCode:乙编码:nvarchar(9)",
                                  "D|丁档案|cDCode:丁编码:nvarchar(9),cCCode:丙编码:nvarchar(9)",
                                  "E|戊档案|cECode:戊编码:nvarchar(9),cDCode:丁编码:nvarchar(9)"});
    const auto relations = Relations::build(reltest::dictionaryOf(tables));
    QCOMPARE(planJoin(*relations, {0, 3}).steps.size(), size_t(4));
    const JoinPlan far = planJoin(*relations, {0, 4});
    QCOMPARE(far.steps.size(), size_t(1));
    QCOMPARE(far.unreachable, std::vector<int>{4});
    const QString sql = joinStatement(*relations, far);
    QVERIFY2(sql.contains("select cACode -- 甲编码\nfrom A\n"), qPrintable(sql));
    QVERIFY2(sql.contains("\n-- 没有找到 E 与以上各表在3次连接以内的关联，单独列出：\nselect cECode, -- 戊编码\n"), qPrintable(sql));
}

QTEST_APPLESS_MAIN(RelationsRules)
#include "tst_relations_rules.moc"
