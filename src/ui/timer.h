#pragma once
// Timer: raises onTimer once per Interval (milliseconds) while Enabled and
// its window is loaded; invisible at run time.
//
//   ui::Timer Timer1{*this};
//   Timer1.setInterval(1000);       // enabled from the start
//   Timer1.onTimer = [this] { Timer1_Timer(); };
//
// onTimer is raised untrapped. Interval 0 stops the timer.
#include <functional>

class QTimer;

namespace ui {

class Form;

class Timer {
public:
    explicit Timer(Form &form);
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    int Interval() const { return interval_; }
    void setInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Design position (twips); a timer is never drawn.
    void Move(float left, float top) { left_ = left; top_ = top; }
    float Left() const { return left_; }
    float Top() const { return top_; }

    std::function<void()> onTimer;

    QTimer *timer() const { return timer_; }

private:
    void update();

    Form &form_;
    QTimer *timer_;
    int interval_ = 0;
    bool enabled_ = true;
    float left_ = 0, top_ = 0;
};

}  // namespace ui
