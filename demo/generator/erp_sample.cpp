#include "erp_sample.h"

namespace dictgen {

namespace {

const QString Base = QStringLiteral("00");
const QString BaseModule = QStringLiteral("基础档案");
const QString Ledger = QStringLiteral("01");
const QString LedgerModule = QStringLiteral("总账");
const QString Receivable = QStringLiteral("02");
const QString ReceivableModule = QStringLiteral("应收款管理");
const QString Stock = QStringLiteral("06");
const QString StockModule = QStringLiteral("库存管理");
const QString Sales = QStringLiteral("07");
const QString SalesModule = QStringLiteral("销售管理");
const QString Purchase = QStringLiteral("08");
const QString PurchaseModule = QStringLiteral("采购管理");

TableRow table(const QString &systemid, const QString &module, const char *name, const char *description,
               std::initializer_list<FieldRow> fields)
{
    TableRow t;
    t.systemid = systemid;
    t.module = module;
    t.name = QString::fromUtf8(name);
    t.description = QString::fromUtf8(description);
    t.fields = fields;
    return t;
}

FieldRow f(const char *name, const char *meaning, const char *type)
{
    return {QString::fromUtf8(name), QString::fromUtf8(meaning), QString::fromUtf8(type)};
}

// The fields every voucher header carries.
QVector<FieldRow> headerTail()
{
    return {f("cMaker", "制单人", "nvarchar(20)"), f("dMakeDate", "制单日期", "datetime"),
            f("cVerifier", "审核人", "nvarchar(20)"), f("dVerifyDate", "审核日期", "datetime"),
            f("cMemo", "备注", "nvarchar(255)")};
}

TableRow header(const QString &systemid, const QString &module, const char *name, const char *description,
                std::initializer_list<FieldRow> fields)
{
    TableRow t = table(systemid, module, name, description,
                       {f("ID", "单据ID", "int"), f("cCode", "单据编号", "nvarchar(30)"),
                        f("dDate", "单据日期", "datetime")});
    t.fields += QVector<FieldRow>(fields);
    t.fields += headerTail();
    return t;
}

TableRow lines(const QString &systemid, const QString &module, const char *name, const char *description,
               std::initializer_list<FieldRow> fields)
{
    TableRow t = table(systemid, module, name, description,
                       {f("AutoID", "自动编号", "int"), f("ID", "单据ID", "int"), f("iRowNo", "行号", "int")});
    t.fields += QVector<FieldRow>(fields);
    t.fields += f("cMemo", "备注", "nvarchar(255)");
    return t;
}

}  // namespace

QVector<TableRow> erpSampleTables()
{
    return {
        // Master files, each keyed by its code.
        table(Base, BaseModule, "BD_InvClass", "存货分类",
              {f("cInvCCode", "存货分类编码", "nvarchar(12)"), f("cInvCName", "存货分类名称", "nvarchar(60)"),
               f("iInvCGrade", "编码级次", "tinyint"), f("bInvCEnd", "是否末级", "bit")}),
        table(Base, BaseModule, "BD_Unit", "计量单位",
              {f("cUnitCode", "计量单位编码", "nvarchar(10)"), f("cUnitName", "计量单位名称", "nvarchar(20)"),
               f("iChangRate", "换算率", "decimal(18,6)")}),
        table(Base, BaseModule, "BD_Department", "部门档案",
              {f("cDepCode", "部门编码", "nvarchar(12)"), f("cDepName", "部门名称", "nvarchar(60)"),
               f("iDepGrade", "编码级次", "tinyint"), f("cDepLeader", "职员编码", "nvarchar(20)"),
               f("cDepPhone", "电话", "nvarchar(40)")}),
        table(Base, BaseModule, "BD_Person", "职员档案",
              {f("cPersonCode", "职员编码", "nvarchar(20)"), f("cPersonName", "职员姓名", "nvarchar(40)"),
               f("cDepCode", "部门编码", "nvarchar(12)"), f("cPsnMobile", "手机", "nvarchar(40)"),
               f("dEnterDate", "入职日期", "datetime")}),
        table(Base, BaseModule, "BD_Warehouse", "仓库档案",
              {f("cWhCode", "仓库编码", "nvarchar(10)"), f("cWhName", "仓库名称", "nvarchar(40)"),
               f("cDepCode", "部门编码", "nvarchar(12)"), f("cWhKeeper", "职员编码", "nvarchar(20)"),
               f("cWhAddress", "仓库地址", "nvarchar(120)"), f("bFreeze", "是否冻结", "bit")}),
        table(Base, BaseModule, "BD_Inventory", "存货档案",
              {f("cInvCode", "存货编码", "nvarchar(20)"), f("cInvName", "存货名称", "nvarchar(120)"),
               f("cInvStd", "规格型号", "nvarchar(60)"), f("cInvCCode", "存货分类编码", "nvarchar(12)"),
               f("cMainUnit", "计量单位编码", "nvarchar(10)"), f("cDefWhCode", "仓库 编码", "nvarchar(10)"),
               f("iSafeNum", "安全库存", "decimal(18,6)"), f("dSDate", "启用日期", "datetime")}),
        table(Base, BaseModule, "BD_CusClass", "客户分类",
              {f("cCCCode", "客户分类编码", "nvarchar(12)"), f("cCCName", "客户分类名称", "nvarchar(60)")}),
        table(Base, BaseModule, "BD_Customer", "客户档案",
              {f("cCusCode", "客户编码", "nvarchar(20)"), f("cCusName", "客户名称", "nvarchar(120)"),
               f("cCusAbbName", "客户简称", "nvarchar(60)"), f("cCCCode", "客户分类编码", "nvarchar(12)"),
               f("cCusDepart", "部门编码", "nvarchar(12)"), f("cCusPPerson", "职员编码", "nvarchar(20)"),
               f("iCusCreLine", "信用额度", "decimal(18,2)"), f("dCusDevDate", "发展日期", "datetime")}),
        table(Base, BaseModule, "BD_Vendor", "供应商档案",
              {f("cVenCode", "供应商编码", "nvarchar(20)"), f("cVenName", "供应商名称", "nvarchar(120)"),
               f("cVenDepart", "部门编码", "nvarchar(12)"), f("cVenPPerson", "职员编码", "nvarchar(20)"),
               f("cVenBank", "开户银行", "nvarchar(100)")}),
        table(Base, BaseModule, "BD_SettleStyle", "结算方式",
              {f("cSSCode", "结算方式编码", "nvarchar(3)"), f("cSSName", "结算方式名称", "nvarchar(20)")}),
        table(Base, BaseModule, "BD_Currency", "币种",
              {f("cCurCode", "币种编码", "nvarchar(8)"), f("cCurName", "币种名称", "nvarchar(20)"),
               f("nExchRate", "汇率", "decimal(18,8)")}),
        table(Base, BaseModule, "BD_RdStyle", "收发类别",
              {f("cRdCode", "收发类别编码", "nvarchar(5)"), f("cRdName", "收发类别名称", "nvarchar(20)"),
               f("bRdFlag", "收发标志", "bit")}),
        table(Base, BaseModule, "BD_Operator", "操作员",
              {f("cOperCode", "操作员编码", "nvarchar(20)"), f("cOperName", "操作员姓名", "nvarchar(40)"),
               f("cDepCode", "部门编码", "nvarchar(12)")}),
        // A calendar keyed by its date: not the master of every date.
        table(Base, BaseModule, "BD_WorkCalendar", "工作日历",
              {f("dDate", "日期", "datetime"), f("bWorkDay", "是否工作日", "bit"),
               f("iPeriod", "会计期间", "tinyint")}),
        table(Ledger, LedgerModule, "GL_Subject", "会计科目",
              {f("ccode", "科目编码", "nvarchar(40)"), f("ccode_name", "科目名称", "nvarchar(100)"),
               f("igrade", "科目级次", "tinyint"), f("bend", "是否末级", "bit")}),

        // Sales: order, dispatch and invoice, each a header and its lines.
        header(Sales, SalesModule, "SO_Order", "销售订单主表",
               {f("cCusCode", "客户编码", "nvarchar(20)"), f("cDepCode", "部门编码", "nvarchar(12)"),
                f("cPersonCode", "职员编码", "nvarchar(20)"), f("cSSCode", "结算方式编码", "nvarchar(3)"),
                f("cCurrency", "币种编码", "nvarchar(8)")}),
        lines(Sales, SalesModule, "SO_OrderDetail", "销售订单子表",
              {f("cInvCode", "存货编码", "nvarchar(20)"), f("iQuantity", "数量", "decimal(18,6)"),
               f("iUnitPrice", "单价", "decimal(18,6)"), f("iMoney", "金额", "decimal(18,2)"),
               f("dPreDate", "预发货日期", "datetime")}),
        header(Sales, SalesModule, "SO_Dispatch", "发货单主表",
               {f("CCUSCODE", "客户编码", "nvarchar(20)"), f("cDepCode", "部门编码", "nvarchar(12)"),
                f("cPersonCode", "职员编码", "nvarchar(20)"), f("cSOCode", "销售订单号", "nvarchar(30)")}),
        lines(Sales, SalesModule, "SO_DispatchDetail", "发货单子表",
              {f("cInvCode", "存货编码", "nvarchar(30)"), f("cWhCode", "仓库编码", "nvarchar(10)"),
               f("iQuantity", "数量", "decimal(18,6)"), f("cBatch", "批号", "nvarchar(60)")}),
        header(Sales, SalesModule, "SO_Invoice", "销售发票主表",
               {f("cCusCode", "客户编码", "nvarchar(20)"), f("cSSCode", "结算方式编码", "nvarchar(3)"),
                f("cExchCode", "币种编码", "nvarchar(8)"), f("cInvoiceNo", "发票号", "nvarchar(30)")}),
        lines(Sales, SalesModule, "SO_InvoiceDetail", "销售发票子表",
              {f("cInvCode", "存货编码", "nvarchar(20)"), f("iQuantity", "数量", "decimal(18,6)"),
               f("iTaxRate", "税率", "decimal(6,2)"), f("iSum", "价税合计", "decimal(18,2)")}),

        // Purchase: order and arrival (the lines table named with an s).
        header(Purchase, PurchaseModule, "PO_Order", "采购订单主表",
               {f("cVenCode", "供应商编码", "nvarchar(20)"), f("cDepCode", "部门编码", "nvarchar(12)"),
                f("cPersonCode", "职员编码", "nvarchar(20)"), f("cCurrency", "币种编码", "nvarchar(8)")}),
        lines(Purchase, PurchaseModule, "PO_OrderDetail", "采购订单子表",
              {f("cInvCode", "存货编码", "nvarchar(20)"), f("iQuantity", "数量", "decimal(18,6)"),
               f("iUnitPrice", "单价", "decimal(18,6)"), f("dArriveDate", "计划到货日期", "datetime")}),
        header(Purchase, PurchaseModule, "PO_Arrival", "到货单",
               {f("cVenCode", "供应商编码", "nvarchar(20)"), f("cDepCode", "部门 编码", "nvarchar(12)"),
                f("cPOCode", "采购订单号", "nvarchar(30)")}),
        lines(Purchase, PurchaseModule, "PO_Arrivals", "到货单表体",
              {f("cInvCode", "存货编码", "nvarchar(20)"), f("cWhCode", "仓库编码", "nvarchar(10)"),
               f("iQuantity", "数量", "decimal(18,6)"), f("cBatch", "批号", "nvarchar(60)")}),

        // Stock: goods in and out, stocktaking, what is on hand.
        header(Stock, StockModule, "WH_InOut", "出入库单主表",
               {f("cWhCode", "仓库编码", "nvarchar(10)"), f("cRdCode", "收发类别编码", "nvarchar(5)"),
                f("cDepCode", "部门编码", "nvarchar(12)"), f("cHandler", "职员编码", "nvarchar(20)"),
                f("bRdFlag", "收发标志", "bit")}),
        lines(Stock, StockModule, "WH_InOutDetail", "出入库单子表",
              {f("cInvCode", "存货编码", "nvarchar(20)"), f("iQuantity", "数量", "decimal(18,6)"),
               f("iPrice", "金额", "decimal(18,2)"), f("cBatch", "批号", "nvarchar(60)")}),
        header(Stock, StockModule, "WH_Check", "盘点单",
               {f("cWhCode", "仓库编码", "nvarchar(10)"), f("cCheckPerson", "职员编码", "nvarchar(20)")}),
        lines(Stock, StockModule, "WH_CheckEntry", "盘点单明细",
              {f("cInvCode", "存货编码", "nvarchar(20)"), f("iCVQuantity", "账面数量", "decimal(18,6)"),
               f("iCQuantity", "盘点数量", "decimal(18,6)")}),
        table(Stock, StockModule, "WH_OnHand", "现存量",
              {f("AutoID", "自动编号", "int"), f("cWhCode", "仓库编码", "nvarchar(10)"),
               f("cInvCode", "存货编码", "nvarchar(20)"), f("cBatch", "批号", "nvarchar(60)"),
               f("iQuantity", "结存数量", "decimal(18,6)")}),
        // Refers to some voucher line by its AutoID: which one cannot be told.
        table(Stock, StockModule, "WH_Barcode", "条码记录",
              {f("cBarCode", "条码", "nvarchar(60)"), f("AutoID", "自动编号", "int"),
               f("cInvCode", "存货编码", "nvarchar(20)"), f("dDate", "扫描日期", "datetime")}),

        // Ledger and receivables.
        header(Ledger, LedgerModule, "GL_Voucher", "凭证主表",
               {f("iPeriod", "会计期间", "tinyint"), f("cSign", "凭证类别字", "nvarchar(8)"),
                f("iAttach", "附单据数", "smallint")}),
        lines(Ledger, LedgerModule, "GL_VoucherEntry", "凭证分录",
              {f("ccode", "科目编码", "nvarchar(40)"), f("cDigest", "摘要", "nvarchar(120)"),
               f("md", "借方金额", "decimal(18,2)"), f("mc", "贷方金额", "decimal(18,2)"),
               f("cDeptCode", "部门编码", "nvarchar(12)"), f("cPersonCode", "职员编码", "nvarchar(20)"),
               f("cCusCode", "客户编码", "nvarchar(20)"), f("cVenCode", "供应商编码", "nvarchar(20)")}),
        header(Receivable, ReceivableModule, "AR_Receipt", "收款单主表",
               {f("cCusCode", "客户编码", "nvarchar(20)"), f("cSSCode", "结算方式编码", "nvarchar(3)"),
                f("cCurrency", "币种编码", "nvarchar(8)"), f("iAmount", "金额", "decimal(18,2)")}),
        lines(Receivable, ReceivableModule, "AR_ReceiptDetail", "收款单子表",
              {f("cCode", "单据编号", "nvarchar(30)"), f("iAmount", "金额", "decimal(18,2)"),
               f("ccode_item", "科目编码", "nvarchar(40)")}),
    };
}

QVector<DeclaredKey> erpSampleKeys()
{
    // Every table's first field is its primary key (the calendar's is its date).
    QVector<DeclaredKey> keys;
    for (const TableRow &t : erpSampleTables())
        keys.append({t.name, t.fields.first().name, {}, {}});
    keys.append({QStringLiteral("SO_OrderDetail"), QStringLiteral("cInvCode"), QStringLiteral("BD_Inventory"),
                 QStringLiteral("cInvCode")});
    keys.append({QStringLiteral("PO_OrderDetail"), QStringLiteral("ID"), QStringLiteral("PO_Order"),
                 QStringLiteral("ID")});
    return keys;
}

}  // namespace dictgen
