#pragma once
// Runtime functions of the window code.
//
//   ui::MsgBox(e.Description(), ui::vbOKOnly, ui::PromptTitle);   // "提示"
//   Panels(3).setText(ui::Now());
//   ui::DoEvents();
//   QString id = ui::Mid(Combo1.Text(), 2, 3);
//
// Tests answer message boxes without a person: install a handler, which is
// called instead of showing the box.
//
//   ui::ScopedMsgBoxHandler boxes;             // records every box, answers OK
//   ... QTest::keyClick(...) ...
//   QCOMPARE(boxes.calls().size(), 1);
//   QCOMPARE(boxes.calls()[0].title, QString("提示"));
#include <QString>
#include <QVector>
#include <functional>

namespace ui {

constexpr int vbOKOnly = 0;
constexpr int vbCritical = 16;
constexpr int vbInformation = 64;
constexpr int vbOK = 1;

// The title of every message box the windows show.
inline const QString PromptTitle = QStringLiteral("提示");

// Shows a modal message box (buttons: 0 OK only, 16 error icon, 64
// information icon) and returns the button pressed (vbOK). An empty title
// shows the program's title.
int MsgBox(const QString &prompt, int buttons = vbOKOnly, const QString &title = QString());

using MsgBoxHandler = std::function<int(const QString &prompt, int buttons, const QString &title)>;
// Replaces the message box by a handler; an empty handler restores real
// boxes. Returns the previous handler.
MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler);

struct MsgBoxCall {
    QString prompt;
    int buttons = 0;
    QString title;
};

// Installs a recording handler for its lifetime (then restores the one
// before). An optional reaction runs inside each box, as code running while
// the box is open would.
class ScopedMsgBoxHandler {
public:
    explicit ScopedMsgBoxHandler(std::function<void(const MsgBoxCall &)> reaction = {});
    ~ScopedMsgBoxHandler();
    ScopedMsgBoxHandler(const ScopedMsgBoxHandler &) = delete;
    ScopedMsgBoxHandler &operator=(const ScopedMsgBoxHandler &) = delete;

    const QVector<MsgBoxCall> &calls() const { return calls_; }
    void clear() { calls_.clear(); }

private:
    QVector<MsgBoxCall> calls_;
    std::function<void(const MsgBoxCall &)> reaction_;
    MsgBoxHandler previous_;
};

// The current date and time as text in the user's regional format (short
// date, then the time with seconds).
QString Now();

// Lets pending window messages (painting included) run.
void DoEvents();

// The part of text from the 1-based start, length characters long (or to
// the end with length -1). A start below 1 or a length below -1 throws
// dd::Error 5.
QString Mid(const QString &text, int start, int length = -1);

// The title of the program's own boxes (the fatal report, boxes without a
// title); the application name until set.
QString programTitle();
void setProgramTitle(const QString &title);

}  // namespace ui
