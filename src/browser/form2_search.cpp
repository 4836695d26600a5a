// The dictionary-wide search: the box above the field grid finds tables
// and fields of the whole dictionary by name, meaning, table name,
// description or pinyin initials, in a list that drops down over the field
// grid.
//
// Nothing is read until the focus first enters the box (or Ctrl+F puts it
// there): then the whole dictionary is read once, on a connection and a
// thread of the search's own, while the window goes on working. Choosing a
// hit shows it the way the user would reach it by hand: the module filter
// back to "全部模块" when it hides the table (Combo2_Click), the table's
// name picked in Combo1 (Combo1_Click: exact Find, MoveComplete, field
// view), then the field's row selected in DataGrid2.
#include "form2.h"
#include "data/object_names.h"
#include "login/form1.h"
#include "physical_structure.h"
#include "search/dictionary_search.h"
#include "search/results_panel.h"
#include "ui/error_modes.h"
#include "ui/runtime.h"
#include "ui/twips.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>

namespace browser {

using ui::resumeNext;

namespace {

const QString Prompt = QStringLiteral("提示");
// The list's height in twips; it never reaches below the field grid.
constexpr float kPanelHeight = 4800;

// Offers the search box's key presses to a handler first.
class KeyFilter : public QObject {
public:
    KeyFilter(QObject *parent, std::function<bool(QKeyEvent *)> handler)
        : QObject(parent), handler_(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && handler_(static_cast<QKeyEvent *>(event)))
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QKeyEvent *)> handler_;
};

}  // namespace

// The caption and the box stand level with the table-name box, the box's
// right edge on the field grid's.
void Form2::designSearch()
{
    Label5.setAutoSize(true);
    Label5.setCaption(QStringLiteral("全库搜索："));
    Label5.Move(10215, 210, 900, 180);
    Text1.Move(10215, 480, 3000, 300);
    QLineEdit *edit = Text1.lineEdit();
    edit->setPlaceholderText(QStringLiteral("字段名、含义、表名或拼音首字母"));
    edit->setAccessibleName(QStringLiteral("全库搜索"));
    edit->installEventFilter(new KeyFilter(edit, [this](QKeyEvent *e) { return Text1_KeyPress(e); }));
    Text1.onGotFocus = [this] { Text1_GotFocus(); };
    Text1.onChange = [this] { Text1_Change(); };

    auto *find = new QShortcut(QKeySequence::Find, widget());
    find->setContext(Qt::WindowShortcut);
    QObject::connect(find, &QShortcut::activated, widget(), [this] {
        if (isLoaded())
            ui::untrapped([this] { Text1_FindShortcut(); });
    });

    // The list closes when the focus moves on to another control; the
    // control the focus came from gets it back on Esc.
    QObject::connect(qApp, &QApplication::focusChanged, widget(), [this](QWidget *old, QWidget *now) {
        auto inSearch = [this](QWidget *w) {
            return w && (w == Text1.lineEdit() || (searchPanel_ && searchPanel_->isAncestorOf(w)));
        };
        if (!now || now->window() != widget())
            return;
        if (inSearch(now)) {
            if (old && !inSearch(old) && old->window() == widget())
                focusBeforeSearch_ = old;
        } else if (searchPanel_ && searchPanel_->isVisible()) {
            closeSearchPanel();
        }
    });
}

// The first search reads the dictionary; a failed read is tried again.
void Form2::Text1_GotFocus()
{
    loadSearch();
}

void Form2::Text1_Change()
{
    loadSearch();
    showSearch();
}

// Ctrl+F, from anywhere in the window.
void Form2::Text1_FindShortcut()
{
    Text1.SetFocus();
    Text1.lineEdit()->selectAll();
    loadSearch();
    if (!Text1.Text().trimmed().isEmpty())
        showSearch();
}

// Up, Down and the page keys walk the list, Enter chooses, Esc closes.
bool Form2::Text1_KeyPress(QKeyEvent *event)
{
    const bool open = searchPanel_ && searchPanel_->isVisible();
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        if (!open) {
            showSearch();
            return true;
        }
        const int page = searchPanel_->pageRows();
        const int delta = event->key() == Qt::Key_Down ? 1 : event->key() == Qt::Key_Up ? -1
                          : event->key() == Qt::Key_PageDown ? page : -page;
        searchPanel_->moveCurrent(delta);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (open && searchPanel_->currentHit()) {
            const search::Hit hit = *searchPanel_->currentHit();
            ui::untrapped([this, hit] { chooseSearchHit(hit); });
        }
        return true;
    case Qt::Key_Escape:
        closeSearchPanel();
        if (focusBeforeSearch_)
            focusBeforeSearch_->setFocus(Qt::OtherFocusReason);
        return true;
    default:
        return false;
    }
}

// Starts reading the dictionary unless it is read or being read.
void Form2::loadSearch()
{
    if (!search_) {
        search_ = std::make_unique<search::DictionarySearch>();
        QObject::connect(search_.get(), &search::DictionarySearch::changed, widget(), [this] {
            // Progress, the end of the load or its failure: the list, if the
            // user is at it, says so or answers what was typed meanwhile.
            QWidget *focus = QApplication::focusWidget();
            const bool atSearch = focus && (focus == Text1.lineEdit()
                                            || (searchPanel_ && searchPanel_->isAncestorOf(focus)));
            if (atSearch || (searchPanel_ && searchPanel_->isVisible()))
                showSearch();
        });
    }
    const auto state = search_->state();
    if (state == search::DictionarySearch::Idle || state == search::DictionarySearch::Failed) {
        const login::Form1 *login = ::Form1.loaded();
        search_->load(sDataConn, QStringLiteral("sa"), login ? login->Text2.Text() : QString());
    }
}

// The list for the box's text: the hits, or how the load is doing. A query
// of spaces shows nothing.
void Form2::showSearch()
{
    const QString query = Text1.Text();
    if (!search_ || search::queryTerms(query).isEmpty()) {
        closeSearchPanel();
        return;
    }
    if (!searchPanel_) {
        searchPanel_ = new search::ResultsPanel(widget());
        searchPanel_->view()->setFocusPolicy(Qt::ClickFocus);  // Tab order stays as designed
        searchPanel_->onChoose = [this](search::Hit hit) {
            ui::untrapped([this, hit] { chooseSearchHit(hit); });
        };
        searchPanel_->onEscape = [this] {
            closeSearchPanel();
            Text1.SetFocus();
        };
    }
    if (search_->state() == search::DictionarySearch::Ready)
        searchPanel_->showResults(search_->index(), search_->find(query));
    else
        searchPanel_->showStatus(search_->statusText());
    placeSearchPanel();
    searchPanel_->show();
    searchPanel_->raise();
}

// Under the box, over the field grid and as wide as it: the module box and
// the table grid stay in sight.
void Form2::placeSearchPanel()
{
    const float top = Text1.Top() + Text1.Height();
    const float bottom = DataGrid2.Top() + DataGrid2.Height();
    const float height = std::max(1500.0f, std::min(kPanelHeight, bottom - top));
    searchPanel_->setGeometry(ui::twipsRect(DataGrid2.Left(), top, DataGrid2.Width(), height));
}

void Form2::closeSearchPanel()
{
    if (searchPanel_)
        searchPanel_->hide();
}

// The hit becomes what the browser shows, by the roads a person would take.
void Form2::chooseSearchHit(search::Hit hit)
{
    const std::shared_ptr<const search::SearchIndex> index = search_ ? search_->index() : nullptr;
    if (!index || hit.table < 0)
        return;
    const dd::DictionaryTable table = index->dictionary().tables[size_t(hit.table)];
    closeSearchPanel();
    if (!goToTable(table.name, table.module))
        return;
    if (hit.isTable()) {
        DataGrid1.SetFocus();
        return;
    }
    selectFieldRow(index->dictionary().fields[size_t(hit.field)]);
    DataGrid2.SetFocus();
}

// A table becomes the current one as the user would make it so: empty
// tables shown again when it is hidden among them, the module filter back
// to every module when it hides the table (Combo2_Click), then its name
// picked in Combo1 (Combo1_Click). False when it could not be reached.
bool Form2::goToTable(const QString &name, const QString &module)
{
    if (Check2.Value() && structure_ && !structure_->isListedWhenHidingEmpty(name)) {
        Check2.setValue(false);
        hideEmptyTables(false);
    }
    if (Combo2.ListIndex() > 0 && !dd::sameName(Combo2.Text(), module))
        resumeNext([&] { Combo2.setListIndex(0); });

    int entry = -1;
    for (int i = 0; i < Combo1.ListCount() && entry < 0; ++i)
        if (dd::sameName(Combo1.List(i), name))
            entry = i;
    if (entry < 0) {
        ui::MsgBox(QStringLiteral("当前的表列表中没有【") + name + QStringLiteral("】"),
                   ui::vbInformation, Prompt);
        return false;
    }
    resumeNext([&] { Combo1.setListIndex(entry); });
    // The pick's own search may fail (a name holding an apostrophe), as it
    // would by hand: then no other table's field row is selected.
    QString current;
    resumeNext([&] { current = rsTable.Fields(0).Value().toString(); });
    return dd::sameName(current, name);
}

// The field's row in the field grid becomes current and highlighted (the
// grid scrolls to it): its FieldID position, or the first row of its name
// when the grid's rows differ from the dictionary that was read.
void Form2::selectFieldRow(const dd::DictionaryField &field)
{
    if (rsField.State() != 1)
        return;
    const int rows = rsField.rowCount();
    auto nameAt = [&](int row) { return rsField.cell(row, 0).toString(); };
    int row = field.number - 1;
    if (row < 0 || row >= rows || !dd::sameName(nameAt(row), field.name)) {
        row = -1;
        for (int r = 0; r < rows && row < 0; ++r)
            if (dd::sameName(nameAt(r), field.name))
                row = r;
    }
    if (row < 0)
        return;
    resumeNext([&] { rsField.moveToRow(row); });  // rsField has no event handler
    while (DataGrid2.SelBookmarks().Count() > 0)
        DataGrid2.SelBookmarks().Remove(0);
    DataGrid2.SelBookmarks().Add(row + 1);
}

// The window goes: a read under way is let go and ends on its own thread.
void Form2::endSearch()
{
    closeSearchPanel();
    search_.reset();
}

}  // namespace browser
