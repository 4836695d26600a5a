#include "open_browser.h"
#include "form2.h"
#include "wait/form3.h"
#include "data/machinery_switch.h"

namespace browser {

bool open()
{
    Form2 &browser = *::Form2;
    if (browser.loadFailed()) {
        browser.Unload();
        return false;
    }
    browser.Show();
    return true;
}

void unload()
{
    ::Form2.Unload();
}

void prepare()
{
    if (::Form2.isLoaded() || !dd::machineryOn("prepare"))
        return;
    ::Form3.Prepare();
    ::Form2.Prepare();
}

}  // namespace browser
