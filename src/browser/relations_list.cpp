#include "relations_list.h"
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

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

RelationsList::RelationsList(QWidget *parent)
    : QFrame(parent), status_(new QLabel(this)), view_(new QTableView(this)), model_(new RelationsModel(this))
{
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(status_);
    layout->addWidget(view_, 1);
    status_->setTextFormat(Qt::PlainText);

    view_->setModel(model_);
    view_->setAccessibleName(QStringLiteral("关联表"));
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setTabKeyNavigation(false);
    view_->setWordWrap(false);
    view_->setTextElideMode(Qt::ElideMiddle);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setHighlightSections(false);
    // Everything in the field grid's width: the description takes what the
    // other columns leave; every row's tooltip has the whole evidence.
    QHeaderView *header = view_->horizontalHeader();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(30);
    fitColumns();
    view_->installEventFilter(this);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            choose(index.row());
    });
    QObject::connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(view_);
        QAction *medium = menu.addAction(QStringLiteral("显示可信度为中的关联"));
        medium->setCheckable(true);
        medium->setChecked(withMedium);
        if (menu.exec(view_->viewport()->mapToGlobal(at)) == medium && onWithMedium)
            onWithMedium(medium->isChecked());
    });
    hide();
}

void RelationsList::showStatus(const QString &text)
{
    if (model_->rowCount() > 0)
        model_->clear();
    if (status_->text() != text)
        status_->setText(text);
}

void RelationsList::showLinks(std::shared_ptr<const Relations> relations, int table, Confidence least)
{
    model_->setLinks(std::move(relations), table, least);
    const int rows = model_->rowCount();
    status_->setText(rows ? QStringLiteral("共%1个关联").arg(rows) : QStringLiteral("没有找到关联表"));
    if (rows)
        view_->setCurrentIndex(model_->index(0, 0));
    view_->scrollToTop();
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
    const QFontMetrics metrics(view_->font());
    const QFontMetrics headerMetrics(view_->horizontalHeader()->font());
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
    const QScrollBar *bar = view_->verticalScrollBar();
    const int room = (view_->viewport()->width() > 0 ? view_->viewport()->width() : width())
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
        view_->horizontalHeader()->resizeSection(c, widths[c]);
}

void RelationsList::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    fitColumns();
}

QString RelationsList::statusText() const
{
    return status_->text();
}

void RelationsList::choose(int row)
{
    if (row >= 0 && row < model_->rowCount() && onChoose)
        onChoose(model_->otherTable(row), model_->otherField(row));
}

bool RelationsList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            choose(view_->currentIndex().row());
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace browser
