#include "error_modes.h"
#include "event_scope.h"
#include "form.h"
#include "runtime.h"
#include <exception>

namespace ui {

void reportFatal(const dd::Error &error)
{
    MsgBox(QStringLiteral("运行时错误 '%1':\n\n%2").arg(error.Number()).arg(error.Description()),
           vbCritical, programTitle());
    End();
}

void untrapped(const std::function<void()> &body)
{
    detail::EventScope scope;
    try {
        body();
    } catch (const dd::Error &e) {
        reportFatal(e);
    } catch (const std::exception &e) {
        reportFatal(dd::Error(51, QStringLiteral("内部错误: %1").arg(QString::fromLocal8Bit(e.what()))));
    } catch (...) {
        reportFatal(dd::Error(51, QStringLiteral("内部错误")));
    }
}

bool resumeNext(const std::function<void()> &statement)
{
    try {
        statement();
        return true;
    } catch (const dd::Error &) {
        return false;
    }
}

void trapped(const std::function<void()> &body,
             const std::function<void(const dd::Error &)> &trap)
{
    try {
        body();
    } catch (const dd::Error &e) {
        trap(e);
    }
}

}  // namespace ui
