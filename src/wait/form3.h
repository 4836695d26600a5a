#pragma once
// The wait window: shown by the login window's OK, owned by it, painted
// once, and unloaded by the browser's load.
//
//   ::Form3->Show(loginWindow);
//   ::Form3.Unload();               // nothing when it is not loaded
#include "ui/form.h"
#include "ui/label.h"

namespace wait {

class Form3 final : public ui::Form {
public:
    Form3();

    ui::Label Label1{*this};
};

}  // namespace wait

// The program's one wait window.
inline ui::FormRef<wait::Form3> Form3;
