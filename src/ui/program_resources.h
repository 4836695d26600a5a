#pragma once
// Pictures compiled into the program (resources/resources.qrc).
//
//   setPicture(ui::picture("login_background.jpg"));
//   QApplication::setWindowIcon(ui::programIcon());
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace ui {

// The program's icon (48 x 48, 256 colours), shared by every window.
QIcon programIcon();
// The picture ":/<name>"; a null pixmap when it is missing.
QPixmap picture(const QString &name);

}  // namespace ui
