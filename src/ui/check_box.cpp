#include "check_box.h"
#include <QCheckBox>
#include <QSignalBlocker>

namespace ui {

CheckBox::CheckBox(Form &form) : Control(form, new QCheckBox)
{
    QCheckBox *box = checkBox();
    // clicked is the user's own change, not setValue's.
    QObject::connect(box, &QCheckBox::clicked, box, [this] { raiseUserEvent(onClick); });
}

CheckBox::~CheckBox() = default;

QCheckBox *CheckBox::checkBox() const
{
    return static_cast<QCheckBox *>(widget());
}

QString CheckBox::Caption() const
{
    return checkBox()->text();
}

void CheckBox::setCaption(const QString &caption)
{
    checkBox()->setText(caption);
    checkBox()->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
}

bool CheckBox::Value() const
{
    return checkBox()->isChecked();
}

void CheckBox::setValue(bool checked)
{
    const QSignalBlocker quiet(checkBox());
    checkBox()->setChecked(checked);
}

}  // namespace ui
