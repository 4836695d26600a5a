#include "naming_rules.h"
#include "data/text_fold.h"
#include <QRegularExpression>

namespace dd::relations::rules {

namespace {

bool endsWithAny(const QString &text, std::initializer_list<const char16_t *> ends, QString *rest = nullptr)
{
    for (const char16_t *end : ends) {
        const QStringView e(end);
        if (text.size() > e.size() && text.endsWith(e)) {
            if (rest)
                *rest = text.left(text.size() - e.size());
            return true;
        }
    }
    return false;
}

}  // namespace

QString meaningKey(const QString &meaning)
{
    const QString folded = dd::foldText(meaning);
    QString out;
    out.reserve(folded.size());
    for (QChar c : folded)
        if (!c.isSpace())
            out += c;
    return out;
}

bool namesCode(const QString &nameKey)
{
    if (nameKey == u"id" || nameKey == u"code" || nameKey == u"no")
        return true;
    return endsWithAny(nameKey, {u"code", u"id", u"no", u"num", u"number", u"key", u"bm", u"_dm"});
}

bool meansCode(const QString &meaningKey)
{
    return meaningKey == u"id" || meaningKey == u"编码" || meaningKey == u"编号" || meaningKey == u"代码"
           || endsWithAny(meaningKey, {u"编码", u"编号", u"代码", u"代号", u"号", u"码", u"id", u"标识", u"主键"});
}

QString codedThing(const QString &meaningKey)
{
    QString rest;
    if (!endsWithAny(meaningKey, {u"编码", u"编号", u"代码", u"代号", u"id", u"号", u"码"}, &rest))
        return QString();
    return rest.size() >= 2 ? rest : QString();
}

int describesMasterOf(const QString &descriptionKey, const QString &thing)
{
    if (thing.isEmpty())
        return 0;
    QString described = descriptionKey;
    QString rest;
    while (endsWithAny(described, {u"档案", u"信息", u"资料", u"主档", u"目录", u"设置", u"列表", u"字典", u"主表", u"表"}, &rest))
        described = rest;
    if (described == thing || described.endsWith(thing))
        return 2;
    return descriptionKey.contains(thing) ? 1 : 0;
}

QStringList headerNamesOf(const QString &tableNameKey)
{
    QStringList out;
    QString rest;
    static const std::initializer_list<const char16_t *> marks = {
        u"_details", u"_detail", u"details", u"detail", u"_lines", u"_line", u"lines", u"_entries",
        u"_entry", u"entries", u"entry", u"_items", u"items", u"_body", u"_sub", u"_s", u"_b", u"_d", u"s"};
    // The header: the name without the mark, or with a header mark in its
    // place (SaleDetail -> Sale, SaleMain, SaleHead).
    for (const char16_t *mark : marks) {
        if (!endsWithAny(tableNameKey, {mark}, &rest))
            continue;
        const bool underscore = QStringView(mark).startsWith(u'_');
        for (const char16_t *head : {u"", u"main", u"head", u"header"}) {
            const QString name = rest + (underscore && *head ? QStringLiteral("_") : QString()) + QString::fromUtf16(head);
            if (!out.contains(name))
                out << name;
        }
    }
    return out;
}

QString headerDescriptionOf(const QString &descriptionKey)
{
    QString rest;
    if (endsWithAny(descriptionKey, {u"子表", u"明细表", u"明细", u"表体", u"单据体", u"分录", u"明细行", u"行表"}, &rest))
        return headerStem(rest);
    return QString();
}

QString headerStem(const QString &descriptionKey)
{
    QString rest;
    if (endsWithAny(descriptionKey, {u"主表", u"表头", u"单据头"}, &rest))
        return rest;
    return descriptionKey;
}

TypeFacts typeFacts(const QString &type)
{
    static const QRegularExpression form(QStringLiteral("^\\s*([a-z_ ]+?)\\s*(?:\\(\\s*([0-9a-z]+)\\s*(?:,\\s*[0-9]+\\s*)?\\))?\\s*$"));
    const auto m = form.match(type.toLower());
    TypeFacts facts;
    if (!m.hasMatch())
        return facts;
    const QString name = m.captured(1);
    static const QStringList text{"char", "varchar", "nchar", "nvarchar", "text", "ntext", "sysname"};
    static const QStringList number{"tinyint", "smallint", "int", "integer", "bigint", "decimal", "numeric",
                                    "money", "smallmoney", "float", "real"};
    static const QStringList date{"datetime", "smalldatetime", "date", "datetime2", "time", "datetimeoffset"};
    static const QStringList binary{"binary", "varbinary", "image", "timestamp", "rowversion"};
    if (text.contains(name)) {
        facts.family = TypeFamily::Text;
        facts.length = m.captured(2);
    } else if (number.contains(name)) {
        facts.family = TypeFamily::Number;
    } else if (date.contains(name)) {
        facts.family = TypeFamily::Date;
    } else if (binary.contains(name)) {
        facts.family = TypeFamily::Binary;
    } else if (name == u"uniqueidentifier") {
        facts.family = TypeFamily::Guid;
    } else if (name == u"bit") {
        facts.family = TypeFamily::Bit;
    }
    return facts;
}

int typeAgreement(const TypeFacts &a, const TypeFacts &b)
{
    if (a.family == TypeFamily::Unknown || b.family == TypeFamily::Unknown)
        return 0;
    return a.family == b.family ? 1 : -1;
}

}  // namespace dd::relations::rules
