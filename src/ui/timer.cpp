#include "timer.h"
#include "error_modes.h"
#include "form.h"
#include <QTimer>
#include <QWidget>

namespace ui {

Timer::Timer(Form &form) : form_(form), timer_(new QTimer(form.widget()))
{
    timer_->setTimerType(Qt::CoarseTimer);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
        if (onTimer && form_.isLoaded())
            untrapped(onTimer);
    });
}

Timer::~Timer()
{
    delete timer_;
}

void Timer::setInterval(int milliseconds)
{
    interval_ = milliseconds;
    update();
}

void Timer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    update();
}

void Timer::update()
{
    if (enabled_ && interval_ > 0 && form_.isLoaded())
        timer_->start(interval_);
    else
        timer_->stop();
}

}  // namespace ui
