#include "relations_list.h"
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QLayout>

namespace browser {

using namespace dd::relations;

namespace {

enum Column { Way, Table, Description, OwnField, OtherField, Evidence, Sureness, ColumnCount };

}  // namespace

void RelationsModel::setLinks(std::shared_ptr<const Relations> relations, int table, Confidence least)
{
    beginResetModel();
    relations_ = std::move(relations);
    table_ = table;
    rows_.clear();
    if (relations_)
        for (int i : relations_->linksOf(table)) {
            const Link &l = relations_->links()[size_t(i)];
            if (l.confidence >= least || (l.evidence & DeclaredKey))
                rows_.push_back(i);
        }
    endResetModel();
}

void RelationsModel::clear()
{
    beginResetModel();
    relations_.reset();
    rows_.clear();
    table_ = -1;
    endResetModel();
}

int RelationsModel::otherTable(int row) const
{
    const Link &l = link(row);
    return l.child == table_ ? l.parent : l.child;
}

int RelationsModel::otherField(int row) const
{
    const Link &l = link(row);
    return l.child == table_ ? l.parentField : l.childField;
}

int RelationsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int RelationsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RelationsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const Link &l = link(index.row());
    const dd::Dictionary &d = relations_->dictionary();
    const bool refers = l.child == table_;
    const int own = refers ? l.childField : l.parentField;
    const int other = refers ? l.parentField : l.childField;
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Way:
            return refers ? QStringLiteral("引用") : QStringLiteral("被引用");
        case Table:
            return d.tables[size_t(otherTable(index.row()))].name;
        case Description:
            return d.tables[size_t(otherTable(index.row()))].description;
        case OwnField:
            return d.fields[size_t(own)].name;
        case OtherField:
            return d.fields[size_t(other)].name;
        case Evidence:
            return evidenceText(l.evidence);
        case Sureness:
            return confidenceText(l.confidence);
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole) {
        QString tip = evidenceText(l.evidence) + QStringLiteral("，") + confidenceText(l.confidence)
                      + QLatin1Char('\n') + d.fields[size_t(l.childField)].name + QStringLiteral("（") + d.fields[size_t(l.childField)].meaning
                      + QStringLiteral("，") + d.fields[size_t(l.childField)].type + QStringLiteral("） → ")
                      + d.fields[size_t(l.parentField)].name + QStringLiteral("（") + d.fields[size_t(l.parentField)].meaning
                      + QStringLiteral("，") + d.fields[size_t(l.parentField)].type + QStringLiteral("）");
        if (!l.lengthDifference.isEmpty())
            tip += QStringLiteral("\n长度不同：") + l.lengthDifference;
        return tip;
    }
    return {};
}

QVariant RelationsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char16_t *const headers[] = {u"关系", u"数据表", u"中文表名", u"本表字段", u"对方字段", u"依据", u"可信度"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(headers[section]) : QVariant();
}

RelationsList::RelationsList(QWidget *parent) : RelationsList(parent, new RelationsModel(nullptr)) {}

RelationsList::RelationsList(QWidget *parent, RelationsModel *model)
    : ListPanel(parent, model, QStringLiteral("关联表")), model_(model)
{
    setFrameShape(QFrame::StyledPanel);
    layout()->setContentsMargins(0, 0, 0, 0);
    QTableView *list = view();
    list->setTextElideMode(Qt::ElideMiddle);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Everything in the field grid's width: the description takes what the
    // other columns leave; every row's tooltip has the whole evidence.
    QHeaderView *header = list->horizontalHeader();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(30);
    fitColumns();
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(view());
        QAction *medium = menu.addAction(QStringLiteral("显示可信度为中的关联"));
        medium->setCheckable(true);
        medium->setChecked(withMedium);
        if (menu.exec(view()->viewport()->mapToGlobal(at)) == medium && onWithMedium)
            onWithMedium(medium->isChecked());
    });
    hide();
}

void RelationsList::showStatus(const QString &text)
{
    if (model_->rowCount() > 0)
        model_->clear();
    setLineText(text);
}

void RelationsList::showLinks(std::shared_ptr<const Relations> relations, int table, Confidence least)
{
    model_->setLinks(std::move(relations), table, least);
    const int rows = model_->rowCount();
    setLineText(rows ? QStringLiteral("共%1个关联").arg(rows) : QStringLiteral("没有找到关联表"));
    showFromTheTop();
    fitColumns();
}

// Each column as wide as its header and its widest text among the first
// rows, within a bound; when that is more than the list's width, the
// widest of the names and the evidence give up width first (their texts
// elided, whole in the tooltip) and the description takes what is left.
void RelationsList::fitColumns()
{
    constexpr int kMeasuredRows = 200;
    constexpr int kLeastDescription = 40;
    constexpr int kPadding = 10;
    constexpr int kHeaderPadding = 16;
    const int caps[] = {60, 120, 0, 90, 90, 150, 60};
    const QFontMetrics metrics(view()->font());
    const QFontMetrics headerMetrics(view()->horizontalHeader()->font());
    const int rows = std::min(model_->rowCount(), kMeasuredRows);
    int widths[ColumnCount] = {};
    for (int c = 0; c < ColumnCount; ++c) {
        if (c == Description)
            continue;
        int width = headerMetrics.horizontalAdvance(model_->headerData(c, Qt::Horizontal).toString()) + kHeaderPadding;
        for (int r = 0; r < rows; ++r)
            width = std::max(width, metrics.horizontalAdvance(model_->index(r, c).data().toString()) + kPadding);
        widths[c] = std::min(width, caps[c]);
    }
    // Room for the scroll bar that many rows bring, whether it shows yet or not.
    const QScrollBar *bar = view()->verticalScrollBar();
    const int room = (view()->viewport()->width() > 0 ? view()->viewport()->width() : width())
                     - (bar->isVisible() ? 0 : bar->sizeHint().width());
    const int fixed = widths[Way] + widths[Sureness];
    int flexible = 0;
    for (int c : {Table, OwnField, OtherField, Evidence})
        flexible += widths[c];
    const int spare = room - fixed - kLeastDescription;
    // Too wide: the widest give up width first, down to a common bound.
    while (flexible > spare && flexible > 0) {
        int widest = Table;
        for (int c : {OwnField, OtherField, Evidence})
            if (widths[c] > widths[widest])
                widest = c;
        if (widths[widest] <= 30)
            break;
        --widths[widest];
        --flexible;
    }
    widths[Description] = std::max(kLeastDescription, room - fixed - flexible);
    for (int c = 0; c < ColumnCount; ++c)
        view()->horizontalHeader()->resizeSection(c, widths[c]);
}

void RelationsList::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    fitColumns();
}

void RelationsList::chooseRow(int row)
{
    if (row >= 0 && row < model_->rowCount() && onChoose)
        onChoose(model_->otherTable(row), model_->otherField(row));
}

}  // namespace browser
