// What the login window calls: OK opens the browser, Exit unloads it; while
// it waits for OK, the windows OK shows are built ahead.
#include "form2.h"
#include "login/form1.h"
#include "ui/runtime.h"
#include "wait/form3.h"

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
        prepareBrowser();
        return;
    }
    browser.Show();
}

// Only while the login window is there to take OK: once the browser is
// loaded or the program has ended, nothing is built.
void prepareBrowser()
{
    ui::RunWhenIdle([] {
        if (!::Form1.isLoaded() || ::Form2.isLoaded())
            return;
        ::Form3.Prepare();
        ::Form2.Prepare();
    });
}

void unloadBrowser()
{
    ::Form2.Unload();
}

}  // namespace login
