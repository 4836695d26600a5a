#pragma once
// What the login window does with the browser: its OK opens it, its Exit
// unloads it.
//
//   ::Form3->Show(this); ui::DoEvents();   // the login window's OK
//   if (!browser::open()) { /* back to the login window's choices */ }
namespace browser {

// Loads the browser (its Form_Load reads the login window's choices, opens
// the account-year database and unloads the wait window) and shows it.
// False when the load failed: the error has been shown and the browser
// unloaded unseen.
bool open();

// Unloads the browser; nothing when it is not loaded.
void unload();

}  // namespace browser
