#include "test_window.h"

namespace uitest {

QStringList &events()
{
    static QStringList e;
    return e;
}

int &destroyed()
{
    static int n = 0;
    return n;
}

TestWindow::TestWindow()
{
    setCaption(QStringLiteral("测试窗口"));
    setClientSize(6000, 3000);
    Text1.Move(300, 300, 2400, 300);
    Text1.setText(QStringLiteral("design"));
    List1.Move(300, 800, 2400, 300);
    Edit1.Move(300, 1300, 2400, 300);
    Ok.Move(300, 2000, 1200, 450);
    Ok.setCaption(QStringLiteral("确定"));
    Ok.setDefault(true);
    Exit.Move(1800, 2000, 1200, 450);
    Exit.setCaption(QStringLiteral("退出"));
    Exit.setCancel(true);
    Label1.Move(3000, 300, 600, 180);
    Timer1.setEnabled(false);

    Text1.onGotFocus = [] { events() << QStringLiteral("Text1_GotFocus"); };
    List1.onClick = [] { events() << QStringLiteral("List1_Click"); };
    List1.onGotFocus = [] { events() << QStringLiteral("List1_GotFocus"); };
    List1.onChange = [] { events() << QStringLiteral("List1_Change"); };
    Edit1.onClick = [] { events() << QStringLiteral("Edit1_Click"); };
    Edit1.onChange = [this] { events() << QStringLiteral("Edit1_Change:") + Edit1.Text(); };
    Ok.onClick = [] { events() << QStringLiteral("Ok_Click"); };
    Exit.onClick = [] { events() << QStringLiteral("Exit_Click"); };
    Timer1.onTimer = [] { events() << QStringLiteral("Timer1_Timer"); };
}

TestWindow::~TestWindow()
{
    ++uitest::destroyed();
}

void TestWindow::Form_Load()
{
    events() << QStringLiteral("Form_Load");
}

void TestWindow::Form_Activate()
{
    events() << QStringLiteral("Form_Activate");
}

void TestWindow::Form_Resize()
{
    events() << QStringLiteral("Form_Resize");
}

void TestWindow::Form_Unload(int &Cancel)
{
    events() << QStringLiteral("Form_Unload");
    if (unloadAction)
        unloadAction(Cancel);
}

OtherWindow::OtherWindow()
{
    setCaption(QStringLiteral("其他"));
    setClientSize(3000, 1500);
    setCaptionButtons(ui::NoCaptionButtons);
    Label1.Move(120, 120, 1500, 180);
    Label1.setCaption(QStringLiteral("其他窗口"));
}

void OtherWindow::Form_Load()
{
    events() << QStringLiteral("Other_Load");
}

void OtherWindow::Form_Unload(int &)
{
    events() << QStringLiteral("Other_Unload");
}

}  // namespace uitest
