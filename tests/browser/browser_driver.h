#pragma once
// Drives the program as a user would, with keystrokes and clicks. Helpers
// that check something return early on failure; callers go on only while
// !QTest::currentTestFailed().
#include "browser/form2.h"
#include "login/form1.h"
#include "ui/runtime.h"
#include <QString>
#include <functional>

class QFileDialog;

class QComboBox;

namespace brtest {

// A fresh program showing its login window (no window, no shared
// connection left from before). A message box nobody expected is answered
// at once with a warning, never left waiting.
void startProgram();
void endProgram();
// Lets queued window work run (deleting unloaded windows, the end check).
void settle();

// Login window: type server and password, Tab into the account box.
void logIn(const QString &server, const QString &password = QStringLiteral("pw"));
// Arrow keys until the box shows that entry.
void choose(ui::ComboBox &box, const QString &entry);
void clickOk();
// startProgram, logIn, OK: the browser on the first account and year.
browser::Form2 *openBrowser(const QString &server);

// Browser controls.
void typeTableName(const QString &text);
void eraseTableName();                       // Backspace until empty
void pickFromList(QComboBox *box, int index); // Alt+Down, click the entry
void clickRow(ui::DataGrid &grid, int row);
void doubleClickPanel(ui::StatusBar &bar, int index);

QStringList column(ui::DataGrid &grid, int column);
QStringList headers(ui::DataGrid &grid);
QList<int> highlightedRows(ui::DataGrid &grid);
QStringList entries(const ui::ComboBox &box);

// Overwrites a catalog file in place with one that has no dictionary
// tables: the open connection's next statement on it fails, as on a
// database that went away.
void breakCatalog(const QString &folder, const QString &catalog);

// Ctrl+S in the field grid; the save dialog gets the scope (0 当前表,
// 1 当前列表, 2 整个字典), CSV and `target`, then `more` (other choices),
// and is accepted. Runs inside the application's event loop, where a modal
// dialog waits; false when no dialog came.
bool exportThroughDialog(browser::Form2 &b, int scope, const QString &target,
                         const std::function<void(QFileDialog &)> &more = {});

}  // namespace brtest
