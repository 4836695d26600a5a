#pragma once
// The naming habits the links are inferred from: how a meaning says that a
// field holds a code, how a description names a master table or marks a
// table as another's lines, and which types can hold the same values.
#include <QString>
#include <QStringList>

namespace dd::relations::rules {

// A meaning as meanings are compared: width folded, letter case folded,
// every space removed. Empty for a meaning of spaces.
QString meaningKey(const QString &meaning);

// Whether a field's name or meaning says that it holds a code or an id
// (cInvCode, iID, cVouchNo; 存货编码, 单据号, 自动编号).
bool namesCode(const QString &nameKey);
bool meansCode(const QString &meaningKey);

// What a code stands for: 存货编码 -> 存货, 客户代码 -> 客户; empty when the
// meaning does not end in a word for a code or what is left is under two
// characters (行号 -> empty).
QString codedThing(const QString &meaningKey);

// How plainly the table's description names the thing as its own: 2 when
// it is the thing itself (存货档案, 会计科目, 计量单位 for 存货, 科目,
// 计量单位), 1 when it only holds it (存货价格表 for 存货), 0 otherwise.
int describesMasterOf(const QString &descriptionKey, const QString &thing);

// The header names a lines table's name points to (vouchs -> vouch,
// order_detail -> order, order_main, order_head...); empty when the name
// carries no lines mark.
QStringList headerNamesOf(const QString &tableNameKey);
// A description with its lines mark removed (采购订单子表 -> 采购订单,
// 应收单据明细 -> 应收单据); empty when it carries none.
QString headerDescriptionOf(const QString &descriptionKey);
// A description with its header mark removed (采购订单主表 -> 采购订单);
// the description itself when it carries none.
QString headerStem(const QString &descriptionKey);

// Types: the family a SQL Server type name belongs to, and its length.
enum class TypeFamily { Unknown, Text, Number, Date, Binary, Guid, Bit };
struct TypeFacts {
    TypeFamily family = TypeFamily::Unknown;
    QString length;   // a text type's length as written ("20", "max"); empty when none
};
TypeFacts typeFacts(const QString &type);
// 1 when both are known and of one family, -1 when known and not, 0 when
// either is unknown (free text such as 字符型, or empty).
int typeAgreement(const TypeFacts &a, const TypeFacts &b);

}  // namespace dd::relations::rules
