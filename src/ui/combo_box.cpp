#include "combo_box.h"
#include "combo_list_model.h"
#include "data/error.h"
#include "focus_watcher.h"
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>

namespace ui {

namespace {
// Puts text back into the edit field. Setting a text also deselects, moves
// the cursor to the end and forgets the undo history; when the field
// already has the text and all of that is so, setting it would change
// nothing, only lay the text out again, which long lists pay once per entry.
void restoreText(QLineEdit *edit, const QString &text)
{
    if (edit->text() == text && !edit->hasSelectedText() && edit->cursorPosition() == text.size()
        && !edit->isReadOnly() && !edit->isUndoAvailable() && !edit->isRedoAvailable()
        && !edit->isModified())
        return;
    edit->setText(text);
}
}  // namespace

// Every entry is one line in the box's font, so the drop-down list of a
// type-or-pick box (the long lists: ten thousand table names) can take one
// entry's size for all instead of measuring every name the first time it
// opens. Pick-only boxes are short, and some styles draw their lists as
// menus, whose first entry's size does not fit the others. The list is set
// up only when it first drops down: made earlier, it would not take the font
// the window's design gives the box afterwards.
namespace {
class UniformComboBox : public QComboBox {
public:
    void showPopup() override
    {
        if (auto *list = qobject_cast<QListView *>(view()); list && isEditable())
            list->setUniformItemSizes(true);
        QComboBox::showPopup();
    }
};
}  // namespace

ComboBox::ComboBox(Form &form, Style style) : Control(form, new UniformComboBox), style_(style)
{
    QComboBox *cb = comboBox();
    entries_ = new ComboListModel(cb);
    cb->setModel(entries_);
    cb->setDuplicatesEnabled(true);
    cb->setInsertPolicy(QComboBox::NoInsert);
    if (style_ == DropDownCombo) {
        // The box's own reaction to "editing finished" (Enter, focus
        // leaving) would pick an entry matching the typed text and rewrite
        // it; only the user's pick in the list selects, so that reaction is
        // undone between these two handlers, which bracket the box's own.
        auto *edit = new QLineEdit;
        QObject::connect(edit, &QLineEdit::editingFinished, cb, [this] {
            finishing_ = true;
            finishIndex_ = comboBox()->currentIndex();
            finishText_ = comboBox()->lineEdit()->text();
        });
        cb->setLineEdit(edit);
        QObject::connect(edit, &QLineEdit::editingFinished, cb, [this] {
            finishing_ = false;
            QComboBox *box = comboBox();
            if (box->currentIndex() != finishIndex_ || box->lineEdit()->text() != finishText_) {
                const QSignalBlocker b1(box), b2(box->lineEdit());
                box->setCurrentIndex(finishIndex_);
                box->lineEdit()->setText(finishText_);
            }
        });
        cb->setCompleter(nullptr);
        QObject::connect(edit, &QLineEdit::textEdited, cb,
                         [this](const QString &text) { userEdited(text); });
    }
    cb->setCurrentIndex(-1);
    QObject::connect(cb, QOverload<int>::of(&QComboBox::activated), cb, [this](int index) {
        if (!finishing_)
            userActivated(index);
    });
    auto *watcher = new FocusWatcher(cb, [this] { focusEntered(); });
    if (cb->lineEdit())
        watcher->watch(cb->lineEdit());
}

ComboBox::~ComboBox() = default;

QComboBox *ComboBox::box() const
{
    return static_cast<QComboBox *>(widget());
}

QComboBox *ComboBox::comboBox() const
{
    const_cast<ComboBox *>(this)->flushPending();
    return box();
}

void ComboBox::AddItem(const QString &item)
{
    if (pending_.isEmpty())
        QMetaObject::invokeMethod(box(), [this] { flushPending(); }, Qt::QueuedConnection);
    pending_.append(item);
}

void ComboBox::flushPending()
{
    if (pending_.isEmpty())
        return;
    QComboBox *cb = box();
    const QString text = Text();
    const QSignalBlocker block(cb);
    entries_->append(pending_);
    pending_.clear();
    // Appending never changes the selection or the text. (Only the first
    // entries of an empty box move the box's own selection.)
    if (cb->currentIndex() != listIndex_)
        cb->setCurrentIndex(listIndex_);
    if (QLineEdit *edit = cb->lineEdit()) {
        const QSignalBlocker blockEdit(edit);
        restoreText(edit, text);
    }
}

void ComboBox::Clear()
{
    pending_.clear();
    QComboBox *cb = box();
    const QSignalBlocker block(cb);
    cb->clear();
    firstEntry_.clear();
    indexedCount_ = 0;
    if (QLineEdit *edit = cb->lineEdit()) {
        const QSignalBlocker blockEdit(edit);
        edit->clear();
    }
    listIndex_ = -1;
}

int ComboBox::ListCount() const
{
    return box()->count() + pending_.size();
}

QString ComboBox::List(int index) const
{
    const int shown = box()->count();
    if (index < 0)
        return QString();
    return index < shown ? entries_->text(index) : pending_.value(index - shown);
}

QString ComboBox::Text() const
{
    if (QLineEdit *edit = box()->lineEdit())
        return edit->text();
    return listIndex_ >= 0 ? List(listIndex_) : QString();
}

void ComboBox::setText(const QString &text)
{
    QComboBox *cb = comboBox();
    if (style_ == DropDownList) {
        const int index = firstEntry(text);
        if (index < 0)
            throw dd::Error(383, QStringLiteral("'Text' 属性为只读"));
        setListIndex(index);
        return;
    }
    {
        const QSignalBlocker block(cb), blockEdit(cb->lineEdit());
        cb->lineEdit()->setText(text);
        listIndex_ = firstEntry(text);
        cb->setCurrentIndex(listIndex_);
        cb->lineEdit()->setText(text);
    }
    if (onChange)
        onChange();
}

void ComboBox::setListIndex(int index)
{
    QComboBox *cb = comboBox();
    if (index < -1 || index >= cb->count())
        throw dd::Error(380, QStringLiteral("无效的属性值"));
    {
        const QSignalBlocker block(cb);
        cb->setCurrentIndex(index);
        if (QLineEdit *edit = cb->lineEdit()) {
            const QSignalBlocker blockEdit(edit);
            edit->setText(index >= 0 ? entries_->text(index) : QString());
        }
    }
    listIndex_ = index;
    if (onClick)
        onClick();
}

void ComboBox::userActivated(int index)
{
    listIndex_ = index;
    raiseUserEvent(onClick);
}

void ComboBox::userEdited(const QString &text)
{
    listIndex_ = firstEntry(text);
    raiseUserEvent(onChange);
}

int ComboBox::firstEntry(const QString &text) const
{
    if (entries_->changedInPlace())
        return comboBox()->findText(text, Qt::MatchExactly);  // not only appended to
    // The index takes in the entries appended since it was last used: a
    // list filled once and searched on every keystroke builds it once, and
    // filling it costs nothing extra.
    const int count = ListCount();
    if (indexedCount_ > count) {
        firstEntry_.clear();
        indexedCount_ = 0;
    }
    for (; indexedCount_ < count; ++indexedCount_) {
        int &slot = firstEntry_[List(indexedCount_)];  // 0: a text not seen before
        if (slot == 0)
            slot = indexedCount_ + 1;
    }
    return firstEntry_.value(text, 0) - 1;
}

void ComboBox::focusEntered()
{
    raiseUserEvent(onGotFocus);
}

}  // namespace ui
