#pragma once
// The three error modes of the event handlers. An error is always a
// dd::Error (number + description).
//
// Untrapped (the default): let a dd::Error escape the handler. Events the
// user causes are raised through untrapped(), which reports the error's
// number and description in a message box and ends the program. Events
// raised by code (assigning ListIndex, setText) pass the error on to the
// statement that raised them.
//
// Resume next: wrap each statement; a failing statement is skipped.
//   ui::resumeNext([&] { DataGrid1.setHeight(ScaleHeight() - DataGrid1.Top()); });
//   ui::resumeNext([&] { DataGrid2.setHeight(DataGrid1.Height()); });
//
// Trapped: the handler's own trap.
//   ui::trapped([&] { cnSys().Open(...); ... },
//               [&](const dd::Error &e) { ui::MsgBox(e.Description(), 0, ui::PromptTitle); });
#include "data/error.h"
#include <functional>

namespace ui {

// The fatal report: "运行时错误 '<number>':" and the description in a
// message box, then End().
void reportFatal(const dd::Error &error);

// Runs body; an escaping error (of any kind) is reported by reportFatal.
void untrapped(const std::function<void()> &body);

// Runs one statement; a dd::Error it raises is skipped. Returns whether the
// statement completed.
bool resumeNext(const std::function<void()> &statement);

// Runs body; a dd::Error it raises goes to trap, and the handler goes on
// after trapped() returns.
void trapped(const std::function<void()> &body,
             const std::function<void(const dd::Error &)> &trap);

}  // namespace ui
