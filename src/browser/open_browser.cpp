#include "open_browser.h"
#include "form2.h"

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

}  // namespace browser
