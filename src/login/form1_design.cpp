// The login window's design: window properties and every control.
#include "form1.h"
#include "ui/program_resources.h"
#include <QColor>
#include <algorithm>

namespace login {

namespace {
QString &defaultServerSlot()
{
    static QString server = QStringLiteral("(local)");
    return server;
}
}  // namespace

QString defaultServer()
{
    return defaultServerSlot();
}

void setDefaultServer(const QString &server)
{
    defaultServerSlot() = server;
}

Form1::Form1()
{
    setCaption(QStringLiteral("登陆"));
    setClientSize(6870, 4365);
    setCaptionButtons(ui::CloseBox);
    setStartUpPosition(ui::StartUpPosition::CenterOwner);  // no owner: the screen's centre
    setPicture(ui::picture(QStringLiteral("login_background.jpg")));

    Text1.Move(3720, 1320, 2655, 300);
    Text1.setText(defaultServer());
    Text2.Move(3720, 1750, 2655, 300);
    Text2.setPasswordChar(QLatin1Char('*'));
    Combo1.Move(3720, 2200, 2655, 300);
    Combo2.Move(3720, 2640, 2655, 300);

    Command1.Move(3000, 3360, 1215, 495);
    Command1.setCaption(QStringLiteral("确定"));
    Command1.setDefault(true);
    Command2.Move(4920, 3360, 1215, 495);
    Command2.setCaption(QStringLiteral("退出"));
    Command2.setCancel(true);

    const QColor window = ui::systemWindowBackground();
    struct Caption {
        ui::Label &label;
        const char *text;
        float top;
    };
    for (const Caption &c : {Caption{Label1, "服务器：", 1395}, Caption{Label2, "SA密码：", 1800},
                             Caption{Label3, "登陆帐套：", 2280}, Caption{Label4, "会计年度：", 2745}}) {
        c.label.Move(2760, c.top, 1455, 375);
        c.label.setBackColor(window);
        c.label.setCaption(QString::fromUtf8(c.text));
    }
    Label5.Move(4560, 4080, 2250, 180);
    Label5.setForeColor(QColor(255, 0, 0));
    Label5.setBackColor(window);
    Label5.setAutoSize(true);
    Label5.setCaption(QStringLiteral("本工具适用于StravikR2/P5系列"));
    // The note keeps the designed right margin when the interface font draws
    // it wider than designed.
    const float rightEdge = 4560 + 2250;
    if (Label5.Left() + Label5.Width() > rightEdge)
        Label5.setLeft(std::max(0.0f, rightEdge - Label5.Width()));

    Combo1.onGotFocus = [this] { Combo1_GotFocus(); };
    Combo1.onClick = [this] { Combo1_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

}  // namespace login
