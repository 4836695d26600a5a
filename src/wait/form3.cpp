#include "form3.h"
#include "ui/fonts.h"

namespace wait {

Form3::Form3()
{
    setCaption(QStringLiteral(" "));
    setClientSize(4830, 1005);
    setCaptionButtons(ui::NoCaptionButtons);
    setStartUpPosition(ui::StartUpPosition::CenterOwner);

    Label1.Move(360, 360, 3540, 210);
    Label1.setFont(ui::designFont(QStringLiteral("宋体"), 10.5, true, ui::GB2312_CHARSET));
    Label1.setAutoSize(true);
    Label1.setCaption(QStringLiteral("正在初始化数据字典,请稍后......"));
}

}  // namespace wait
