#pragma once
// The top-level widget of a Form: draws the window's picture, turns Enter
// and Esc into presses of the default and cancel buttons, and passes
// activation, resizing and the close box on to its Form.
#include <QPixmap>
#include <QWidget>

namespace ui {

class Form;

class FormWindow : public QWidget {
public:
    explicit FormWindow(Form &form);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return picture_; }

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    Form &form_;
    QPixmap picture_;
};

}  // namespace ui
