// The browser window's design: window properties, every control with its
// design position, fonts and settings, the status bar's panels and the
// clock timer. Form_Load moves several of these controls (form2_lifecycle.cpp).
#include "form2.h"
#include "search/dictionary_search.h"
#include "ui/fonts.h"
#include "ui/program_resources.h"
#include <QColor>
#include <QTableView>

namespace browser {

QString creditText()
{
    return QStringLiteral("数据字典工具 1.00.0001");
}

namespace {

// An auto-sized caption label. Its design size is the extent of its design
// caption, as the design stores it; from the next caption change on, the
// label fits its text.
void designLabel(ui::Label &label, const QString &caption, float left, float top, float width,
                 float height)
{
    label.setAutoSize(true);
    label.setCaption(caption);
    label.Move(left, top, width, height);
}

}  // namespace

Form2::Form2()
{
    setCaption(QStringLiteral("StravikR2/P5数据字典工具"));
    setClientSize(13575, 8115);
    setResizable(false);
    setCaptionButtons(ui::CloseBox | ui::MinButton);
    setStartUpPosition(ui::StartUpPosition::CenterOwner);  // shown without owner: the screen's centre
    setIcon(ui::programIcon());

    // Docked to the bottom edge at the full inner width.
    StatusBar1.Move(0, 7770, 13575, 345);
    StatusBar1.AddPanel(QStringLiteral("cAccID"), 6000, 6000);
    StatusBar1.AddPanel(QStringLiteral("cAccName"), 1600, 1600);
    StatusBar1.AddPanel(QStringLiteral("Time"), 3000, 3000).setAlignment(ui::Panel::AlignCenter);
    ui::Panel &about = StatusBar1.AddPanel(QStringLiteral("About"), 2550, 2550);
    about.setAlignment(ui::Panel::AlignCenter);
    about.setText(creditText());

    Combo1.Move(120, 480, 2055, 300);
    Combo1.setText(QStringLiteral("请输入或选择数据表"));
    Combo1.setToolTipText(QStringLiteral("支持模糊查询"));

    // Both grids: 宋体 10.5 pt bold headers over 宋体 9 pt cells, system
    // window colours, two placeholder columns until a recordset is bound.
    for (ui::DataGrid *grid : {&DataGrid1, &DataGrid2}) {
        grid->setHeadFont(ui::designFont(QStringLiteral("宋体"), 10.5, true, ui::GB2312_CHARSET));
        grid->setFont(ui::designFont(QStringLiteral("宋体"), 9, false, ui::GB2312_CHARSET));
    }
    DataGrid1.Move(120, 840, 6015, 6855);
    DataGrid2.Move(6240, 840, 6975, 6855);

    const QFont captionFont = ui::designFont(QStringLiteral("宋体"), 9, true, ui::GB2312_CHARSET);
    Label1.setFont(captionFont);
    designLabel(Label1, QString(), 6240, 480, 105, 180);
    Label3.setFont(captionFont);
    Label3.setForeColor(QColor(0, 0, 0));
    designLabel(Label3, QStringLiteral("Label3"), 4680, 480, 630, 180);

    Combo2.Move(4080, 360, 1935, 300);

    designLabel(Label2, QStringLiteral("数据表："), 240, 120, 720, 180);
    designLabel(Label4, QStringLiteral("模块："), 4080, 120, 540, 180);

    Timer1.Move(12840, 240);
    Timer1.setInterval(1000);

    designSearch();
    designPhysical();
    designRelations();

    Combo1.onChange = [this] { Combo1_Change(); };
    Combo1.onClick = [this] { Combo1_Click(); };
    Combo2.onClick = [this] { Combo2_Click(); };
    StatusBar1.onPanelDblClick = [this](ui::Panel &panel) { StatusBar1_PanelDblClick(panel); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    setUpCopyAndExport();
}

Form2::~Form2()
{
    // No table event may reach a window being taken apart.
    rs2Events = nullptr;
    endStructure();
    endRelations();
    endSearch();
}

}  // namespace browser
