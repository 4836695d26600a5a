#pragma once
// The login window: server, sa password, account and fiscal year; OK opens
// the browser, Exit ends the program.
//
//   ::Form1.Load();                    // program start: Form_Load shows it
//   ::Form1->Combo1.Text();            // "[001]Main", read by the browser
//   ::Form1->Combo2.Text();            // "2011"
//
// Entering the account box for the first time connects cnSys as sa and lists
// the accounts; choosing an account lists its years and enables OK.
//
// OK hides this window, shows the wait window and opens the browser
// through browser/open_browser.h (browser::open); a browser that fails to
// load brings this window back. Exit unloads every window and ends the
// program.
#include "ui/combo_box.h"
#include "ui/command_button.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/text_box.h"
#include <QString>
#include <functional>

namespace login {

class Form1 final : public ui::Form {
public:
    Form1();

    // In tab order.
    ui::TextBox Text1{*this};                                   // server name
    ui::TextBox Text2{*this};                                   // sa password
    ui::ComboBox Combo1{*this, ui::ComboBox::DropDownList};     // account entries
    ui::ComboBox Combo2{*this, ui::ComboBox::DropDownList};     // fiscal years
    ui::CommandButton Command1{*this};                          // OK
    ui::Label Label2{*this};
    ui::CommandButton Command2{*this};                          // Exit
    ui::Label Label1{*this};
    ui::Label Label3{*this};
    ui::Label Label4{*this};
    ui::Label Label5{*this};

protected:
    void Form_Load() override;

private:
    void Combo1_GotFocus();
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();

    void listAccounts();
    void listYears();
};

// The server box's design-time text: "(local)", or the server named on the
// command line.
QString defaultServer();
void setDefaultServer(const QString &server);

// For tests: replaces what OK opens after the wait window has painted (an
// empty function restores browser::open). Returns the previous replacement.
std::function<void()> setBrowserOpener(std::function<void()> opener);

}  // namespace login

// The program's one login window.
inline ui::FormRef<login::Form1> Form1;
