// Which tables join: the check box "显示关联表" at the right end of the band
// above the field grid shows, under the field grid, the tables the current
// table is linked with (relations/relations.h); Enter or a double-click on
// a row goes to that table and field by the road a search hit takes. The
// table grid's menu "复制关联查询" copies a SELECT joining the chosen tables.
//
// The links are built once per browser, off the window thread, from the
// dictionary the search reads (reading it first if the search has not) and
// the database's keys once the physical structure has been read (they are
// built again then); building them sends nothing. With the box off,
// nothing of this is made.
#include "form2.h"
#include "physical_structure.h"
#include "relations_list.h"
#include "data/background_work.h"
#include "relations/join_statement.h"
#include "search/dictionary_search.h"
#include "ui/error_modes.h"
#include "ui/runtime.h"
#include "ui/twips.h"
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTableView>
#include <QTimer>
#include <cmath>

namespace browser {

using namespace dd::relations;

namespace {

// The field grid keeps this share of its height while the list shows.
constexpr float kGridShare = 0.5f;
constexpr float kGap = 60;

}  // namespace

// rsTable's moves reach the list through this, whatever moved it.
class Form2::TableMoves : public dd::RecordsetObserver {
public:
    explicit TableMoves(std::function<void()> moved) : moved_(std::move(moved)) {}
    void rowsReplaced(dd::Recordset &) override { moved_(); }
    void currentMoved(dd::Recordset &) override { moved_(); }
    void recordsetGone(dd::Recordset &) override {}

private:
    std::function<void()> moved_;
};

void Form2::designRelations()
{
    Check3.setCaption(QStringLiteral("显示关联表"));
    Check3.Move(11880, 120, 1335, 255);
    Check3.onClick = [this] { Check3_Click(); };
}

void Form2::Check3_Click()
{
    if (!Check3.Value()) {
        if (relationsList_)
            relationsList_->hide();
        placeRelations();
        return;
    }
    if (!relationsList_) {
        relationsList_ = new RelationsList(widget());
        relationsList_->onChoose = [this](int table, int field) {
            ui::untrapped([this, table, field] { chooseRelation(table, field); });
        };
        relationsList_->onWithMedium = [this](bool withMedium) {
            relationsList_->withMedium = withMedium;
            showRelations();
        };
    }
    if (!tableMoves_) {
        tableMoves_ = std::make_shared<TableMoves>([this] { relationsMoved(); });
        rsTable.addObserver(tableMoves_.get());
    }
    placeRelations();
    relationsList_->show();
    buildRelations();
    showRelations();
}

// The list below the field grid, in the grid's own area; without it the
// grid has the whole area again, as Form_Resize gives it.
void Form2::placeRelations()
{
    const float full = DataGrid1.Height();
    if (!relationsList_ || !Check3.Value()) {
        DataGrid2.setHeight(full);
        return;
    }
    const float grid = std::floor(full * kGridShare);
    DataGrid2.setHeight(grid);
    relationsList_->setGeometry(ui::twipsRect(DataGrid2.Left(), DataGrid2.Top() + grid + kGap, DataGrid2.Width(),
                                              std::max(0.0f, full - grid - kGap)));
}

// The catalog when the physical structure has been read; null otherwise.
std::shared_ptr<const dd::catalog::Catalog> Form2::catalogForRelations() const
{
    return structure_ ? std::shared_ptr<const dd::catalog::Catalog>(structure_, &structure_->catalog()) : nullptr;
}

// Builds the links unless they are built (with the catalog, once there is
// one) or being built; waits for the search's dictionary first.
void Form2::buildRelations()
{
    const auto catalog = catalogForRelations();
    if ((relations_ && (relations_->hasCatalog() || !catalog)) || relationsWork_)
        return;
    loadSearch();
    if (!relationsWaitForSearch_) {
        relationsWaitForSearch_ = true;
        QObject::connect(search_.get(), &search::DictionarySearch::changed, widget(), [this] {
            if (search_->state() == search::DictionarySearch::Ready && (Check3.Value() || !pendingJoin_.isEmpty()))
                buildRelations();
            showRelations();
            if (search_->state() == search::DictionarySearch::Failed && !pendingJoin_.isEmpty()) {
                endPendingJoin();
                ui::MsgBox(search_->statusText(), ui::vbOKOnly, ui::PromptTitle);
            }
        });
    }
    if (search_->state() != search::DictionarySearch::Ready)
        return;
    const std::shared_ptr<const dd::Dictionary> dictionary = search_->dictionary();
    relationsWork_ = dd::BackgroundWork::start(
        widget(),
        [this, dictionary, catalog](dd::BackgroundWork &work) {
            auto built = Relations::build(dictionary, catalog, work.token().flag());
            if (built)
                work.deliver([this, built] { relationsBuilt(built); });
        },
        {[this](const dd::Error &e) {
             const QString text = QStringLiteral("关联分析失败：") + e.Description();
             if (relationsList_)
                 relationsList_->showStatus(text);
             if (!pendingJoin_.isEmpty()) {
                 endPendingJoin();
                 ui::MsgBox(text, ui::vbOKOnly, ui::PromptTitle);
             }
         },
         [this](const dd::BackgroundWork::Outcome &) {
             relationsWork_.reset();
             // The structure arrived while they were built without it.
             if (relations_ && !relations_->hasCatalog() && catalogForRelations() && Check3.Value())
                 buildRelations();
         }});
}

void Form2::relationsBuilt(std::shared_ptr<const Relations> relations)
{
    relations_ = std::move(relations);
    showRelations();
    if (!pendingJoin_.isEmpty()) {
        const QStringList names = pendingJoin_;
        endPendingJoin();
        copyJoinOf(names);
    }
}

// rsTable moved (a click, a search, a reload's many moves): the list
// follows once the moves are done.
void Form2::relationsMoved()
{
    if (relationsRefreshPosted_ || !relationsList_ || !relationsList_->isVisible())
        return;
    relationsRefreshPosted_ = true;
    QTimer::singleShot(0, widget(), [this] {
        relationsRefreshPosted_ = false;
        showRelations();
    });
}

void Form2::showRelations()
{
    if (!relationsList_ || !relationsList_->isVisible())
        return;
    if (relations_) {
        const int table = relations_->tableNamed(currentTableName());
        if (table < 0)
            relationsList_->showStatus(QString());
        else
            relationsList_->showLinks(relations_, table,
                                      relationsList_->withMedium ? Confidence::Medium : Confidence::High);
    } else if (relationsWork_) {
        relationsList_->showStatus(QStringLiteral("正在分析表间关联…"));
    } else if (search_) {
        relationsList_->showStatus(search_->statusText());
    }
}

// A row of the list: the other table and its field, shown as a search hit is.
void Form2::chooseRelation(int table, int field)
{
    search::Hit hit;
    hit.table = table;
    hit.field = field;
    chooseSearchHit(hit);
}

// "复制关联查询": the chosen tables of the table grid, in the grid's order.
void Form2::copyJoinStatement()
{
    QStringList names;
    for (int row : DataGrid1.rowsToCopy())
        names << DataGrid1.rowTexts(row).value(0);
    if (names.size() < 2)
        return;
    const auto catalog = catalogForRelations();
    if (relations_ && (relations_->hasCatalog() || !catalog)) {
        copyJoinOf(names);
        return;
    }
    // Copied once the links are built; the cursor says the copy is coming.
    if (pendingJoin_.isEmpty())
        QApplication::setOverrideCursor(Qt::BusyCursor);
    pendingJoin_ = names;
    buildRelations();
}

void Form2::endPendingJoin()
{
    if (pendingJoin_.isEmpty())
        return;
    pendingJoin_.clear();
    QApplication::restoreOverrideCursor();
}

void Form2::copyJoinOf(const QStringList &names)
{
    if (!relations_)
        return;
    std::vector<int> tables;
    for (const QString &name : names) {
        const int t = relations_->tableNamed(name);
        if (t >= 0)
            tables.push_back(t);
    }
    if (tables.empty())
        return;
    auto *data = new QMimeData;
    data->setText(joinStatement(*relations_, planJoin(*relations_, tables)));
    QGuiApplication::clipboard()->setMimeData(data);
}

// The window goes: a build under way is let go.
void Form2::endRelations()
{
    if (relationsWork_) {
        relationsWork_->release();
        relationsWork_.reset();
    }
    if (tableMoves_) {
        rsTable.removeObserver(tableMoves_.get());
        tableMoves_.reset();
    }
    endPendingJoin();
}

}  // namespace browser
