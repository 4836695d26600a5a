// The status bar: the account and fiscal year the browser shows, a running
// clock, and the way back to the login window.
#include "form2.h"
#include "login/form1.h"
#include "ui/runtime.h"

namespace browser {

// Untrapped; runs again at each activation, changing nothing but the clock.
void Form2::Form_Activate()
{
    StatusBar1.Panels(1).setText(QStringLiteral("当前账套:") + ::Form1->Combo1.Text());
    StatusBar1.Panels(2).setText(QStringLiteral("会计年度:[") + ::Form1->Combo2.Text()
                                 + QStringLiteral("]"));
    StatusBar1.Panels(3).setText(ui::Now());
    StatusBar1.setToolTipText(QStringLiteral("双击状态栏可重新选择账套"));
}

// Untrapped: once a second.
void Form2::Timer1_Timer()
{
    StatusBar1.Panels(3).setText(ui::Now());
}

// Untrapped: close the browser (which closes every connection and unloads
// the login window), then show a fresh login window.
void Form2::StatusBar1_PanelDblClick(ui::Panel &Panel)
{
    (void)Panel;
    Unload();
    ::Form1->Show();
}

}  // namespace browser
