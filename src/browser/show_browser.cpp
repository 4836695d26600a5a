// What the login window calls: OK opens the browser, Exit unloads it.
#include "form2.h"
#include "login/form1.h"

namespace login {

// Loads the browser (its Form_Load does all the work) and shows it. A load
// that failed has already said why; the browser is then unloaded unseen
// and the login window, still holding its lists, comes back.
void showBrowser()
{
    browser::Form2 &browser = *::Form2;
    if (browser.loadFailed()) {
        browser.Unload();
        ::Form1->Show();
        ::Form1->Combo2.SetFocus();
        return;
    }
    browser.Show();
}

void unloadBrowser()
{
    ::Form2.Unload();
}

}  // namespace login
