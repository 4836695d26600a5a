#pragma once
// A window with one control of each kind that records its events, for the
// window-component tests.
#include "ui/combo_box.h"
#include "ui/command_button.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/text_box.h"
#include "ui/timer.h"
#include <QStringList>
#include <functional>

namespace uitest {

// Events of every TestWindow, in the order they were raised; survives the
// windows themselves.
QStringList &events();
// Windows destroyed so far.
int &destroyed();

class TestWindow : public ui::Form {
public:
    TestWindow();
    ~TestWindow() override;

    ui::TextBox Text1{*this};
    ui::ComboBox List1{*this, ui::ComboBox::DropDownList};
    ui::ComboBox Edit1{*this, ui::ComboBox::DropDownCombo};
    ui::CommandButton Ok{*this};
    ui::CommandButton Exit{*this};
    ui::Label Label1{*this};
    ui::Timer Timer1{*this};

    // Run inside Form_Unload; set cancel to keep the window.
    std::function<void(int &cancel)> unloadAction;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload(int &Cancel) override;
};

// A second window class, for owner and last-window tests.
class OtherWindow : public ui::Form {
public:
    OtherWindow();
    ui::Label Label1{*this};

protected:
    void Form_Load() override;
    void Form_Unload(int &Cancel) override;
};

}  // namespace uitest

inline ui::FormRef<uitest::TestWindow> TestWindow1;
inline ui::FormRef<uitest::OtherWindow> OtherWindow1;
