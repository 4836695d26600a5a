#pragma once
// Combo box: a drop-down list (style 2, pick only) or a drop-down combo
// (style 0, type or pick).
//
//   ui::ComboBox Combo1{*this, ui::ComboBox::DropDownList};
//   Combo1.onClick = [this] { Combo1_Click(); };
//   Combo1.AddItem("[001]Main");
//   Combo1.setListIndex(0);   // selects, sets Text, raises onClick now
//
// Rules:
// - setListIndex(i) selects entry i (-1: none), sets Text to it and raises
//   onClick synchronously, even when i is the current index; an index out
//   of range throws dd::Error 380 and changes nothing. An error escaping
//   onClick propagates out of setListIndex to the code that assigned it.
// - onChange: every edit the user makes in a style-0 box and every setText
//   by code; never Clear, AddItem or setListIndex.
// - onClick from the user: choosing an entry of the list (mouse or arrow
//   keys); raised untrapped.
// - onGotFocus: the focus moves into the box from elsewhere in its window
//   (Tab, mouse, SetFocus); not when the window merely gets activated again,
//   for instance after a message box closes.
// - Style 2 setText: selects the entry of that text (raising onClick); any
//   other text throws dd::Error 383 (the text is read-only).
#include "control.h"
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;

namespace ui {

class ComboListModel;

class ComboBox : public Control {
public:
    enum Style { DropDownCombo = 0, DropDownList = 2 };

    explicit ComboBox(Form &form, Style style = DropDownCombo);
    ~ComboBox() override;

    Style style() const { return style_; }

    void AddItem(const QString &item);
    void Clear();
    int ListCount() const;
    QString List(int index) const;

    QString Text() const;
    void setText(const QString &text);
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);

    std::function<void()> onClick;
    std::function<void()> onChange;
    std::function<void()> onGotFocus;

    QComboBox *comboBox() const;

private:
    // The widget as it stands, without taking in the pending entries.
    QComboBox *box() const;
    // Hands the entries appended since the last call to the widget, in one go.
    void flushPending();
    void userActivated(int index);
    void userEdited(const QString &text);
    void focusEntered();
    // The first entry of exactly this text, or -1 (findText with
    // Qt::MatchExactly).
    int firstEntry(const QString &text) const;

    Style style_;
    int listIndex_ = -1;
    // While the edit field reports "editing finished" (Enter, focus leaving).
    bool finishing_ = false;
    int finishIndex_ = -1;
    QString finishText_;
    ComboListModel *entries_ = nullptr;
    // Each text's first entry plus one, for the first indexedCount_
    // entries; firstEntry() takes in the rest when it needs them.
    mutable QHash<QString, int> firstEntry_;
    mutable int indexedCount_ = 0;
    // Entries appended but not yet given to the widget: a loop that appends
    // ten thousand names hands them over once rather than one by one.
    QStringList pending_;
};

}  // namespace ui
