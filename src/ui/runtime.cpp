#include "runtime.h"
#include "data/error.h"
#include "form.h"
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace ui {

namespace {

MsgBoxHandler &handlerSlot()
{
    static MsgBoxHandler handler;
    return handler;
}

int showBox(const QString &prompt, int buttons, const QString &title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if ((buttons & 0x70) == vbCritical)
        icon = QMessageBox::Critical;
    else if ((buttons & 0x70) == vbInformation)
        icon = QMessageBox::Information;
    // Modal over the visible window of the program that is in front.
    QWidget *parent = QApplication::activeWindow();
    if (!parent) {
        for (Form *f : Form::loadedForms())
            if (f->Visible())
                parent = f->widget();
    }
    QMessageBox box(icon, title.isEmpty() ? programTitle() : title, prompt, QMessageBox::NoButton,
                    parent);
    // Prompts carry typed text and names from the database: "<b>" is shown
    // as typed, never taken for markup.
    box.setTextFormat(Qt::PlainText);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return vbOK;
}

}  // namespace

int MsgBox(const QString &prompt, int buttons, const QString &title)
{
    if (handlerSlot())
        return handlerSlot()(prompt, buttons, title);
    return showBox(prompt, buttons, title);
}

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler)
{
    MsgBoxHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}

ScopedMsgBoxHandler::ScopedMsgBoxHandler(std::function<void(const MsgBoxCall &)> reaction)
    : reaction_(std::move(reaction))
{
    previous_ = setMsgBoxHandler([this](const QString &prompt, int buttons, const QString &title) {
        calls_.push_back(MsgBoxCall{prompt, buttons, title});
        if (reaction_)
            reaction_(calls_.back());
        return vbOK;
    });
}

ScopedMsgBoxHandler::~ScopedMsgBoxHandler()
{
    setMsgBoxHandler(std::move(previous_));
}

QString Now()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    // The long time format of some regions ends in the time zone; the clock
    // shows hours, minutes and seconds only.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormat);
}

void DoEvents()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::sync();  // also waits for the window system to expose new windows
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QString Mid(const QString &text, int start, int length)
{
    if (start < 1 || length < -1)
        throw dd::Error(5, QStringLiteral("无效的过程调用或参数"));
    if (start > text.size())
        return QString();
    return text.mid(start - 1, length);
}

namespace {
QString &titleSlot()
{
    static QString title;
    return title;
}
}  // namespace

QString programTitle()
{
    return titleSlot().isEmpty() ? QCoreApplication::applicationName() : titleSlot();
}

void setProgramTitle(const QString &title)
{
    titleSlot() = title;
}

}  // namespace ui
