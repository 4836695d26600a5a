// The login window's event handlers.
#include "form1.h"
#include "data/public_ado.h"
#include "data/statements.h"
#include "browser/open_browser.h"
#include "ui/error_modes.h"
#include "ui/runtime.h"
#include "wait/form3.h"

namespace login {

namespace {

std::function<void()> &browserOpener()
{
    static std::function<void()> opener;
    return opener;
}

}  // namespace

std::function<void()> setBrowserOpener(std::function<void()> opener)
{
    std::function<void()> previous = std::move(browserOpener());
    browserOpener() = std::move(opener);
    return previous;
}

// Untrapped.
void Form1::Form_Load()
{
    Show();
    Text2.SetFocus();
    Command1.setEnabled(false);
}

// Trapped. Runs only while no account is selected: connects to the system
// database (unless an earlier attempt already did) and lists the accounts.
// A failed attempt changes nothing else; the next entry into the box tries
// again (the box does not count the focus coming back from the message box
// as an entry).
void Form1::Combo1_GotFocus()
{
    if (Combo1.ListIndex() != -1)
        return;
    ui::trapped(
        [this] {
            using namespace dd::PublicADO;
            sSysConn() = dd::sql::systemConnectionString(Text1.Text());
            if (cnSys().State() != 1)
                cnSys().Open(sSysConn(), QStringLiteral("sa"), Text2.Text(), -1);
            if (cnSys().State() == 1) {
                Text1.setEnabled(false);
                Text2.setEnabled(false);
                listAccounts();
            } else {
                ui::MsgBox(QStringLiteral("无法连接到服务器"), ui::vbOKOnly, ui::PromptTitle);
            }
        },
        [](const dd::Error &e) { ui::MsgBox(e.Description(), ui::vbOKOnly, ui::PromptTitle); });
}

// Fills the account box from the account query and selects the first entry,
// which lists its years. Selecting once after the list is filled leaves the
// same selection as selecting after every entry, with one year query.
void Form1::listAccounts()
{
    using namespace dd::PublicADO;
    dd::Recordset &rs = rsAcc();
    if (rs.State() == 1)
        rs.Close();  // left open by an attempt that found no accounts
    Combo1.Clear();
    rs.CursorLocation = dd::sql::adUseServer;
    rs.Open(dd::sql::accountQuery(), cnSys(), dd::sql::adOpenKeyset, dd::sql::adLockUnspecified,
            dd::sql::adOptionUnspecified);
    while (!rs.EOF_()) {
        Combo1.AddItem(dd::sql::accountEntry(rs.Fields(0).Value().toString(),
                                             rs.Fields(1).Value().toString()));
        rs.MoveNext();
    }
    if (Combo1.ListCount() == 0)
        throw dd::Error(dd::errc::NoCurrentRecord, QStringLiteral("服务器上没有账套"));
    Combo1.setListIndex(0);
}

// Trapped: a failing year query, or an account without fiscal years, leaves
// the year box empty and OK disabled, and says why; another account can be
// chosen.
void Form1::Combo1_Click()
{
    ui::trapped([this] { listYears(); },
                [this](const dd::Error &e) {
                    Combo2.Clear();
                    Command1.setEnabled(false);
                    ui::MsgBox(e.Description(), ui::vbOKOnly, ui::PromptTitle);
                });
}

void Form1::listYears()
{
    using namespace dd::PublicADO;
    dd::Recordset &rs = rsYear();
    if (rs.State() == 1)
        rs.Close();
    Combo2.Clear();
    Command1.setEnabled(false);
    rs.CursorLocation = dd::sql::adUseServer;
    rs.Open(dd::sql::yearQuery(dd::sql::accountIdFromEntry(Combo1.Text())), cnSys(),
            dd::sql::adOpenKeyset, dd::sql::adLockUnspecified, dd::sql::adOptionUnspecified);
    while (!rs.EOF_()) {
        Combo2.AddItem(rs.Fields(0).Value().toString());
        rs.MoveNext();
    }
    if (Combo2.ListCount() == 0)
        throw dd::Error(dd::errc::NoCurrentRecord, QStringLiteral("该账套没有会计年度"));
    Combo2.setListIndex(0);
    Command1.setEnabled(true);
}

// OK (untrapped): the wait window paints, then the browser loads.
void Form1::Command1_Click()
{
    Hide();
    ::Form3->Show(this);
    ui::DoEvents();
    if (browserOpener()) {
        browserOpener()();
        return;
    }
    if (!browser::open()) {
        // The load said why; this window, still holding its lists, comes
        // back for another choice.
        ::Form1->Show();
        ::Form1->Combo2.SetFocus();
    }
}

// Exit (untrapped).
void Form1::Command2_Click()
{
    browser::unload();
    ::Form3.Unload();
    Unload();
    ui::End();
}

}  // namespace login
