#include "label.h"
#include "twips.h"
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPalette>

namespace ui {

QColor systemWindowBackground()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor systemButtonFace()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

Label::Label(Form &form) : Control(form, new QLabel)
{
    QLabel *l = label();
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    l->setFocusPolicy(Qt::NoFocus);
    l->setTextFormat(Qt::PlainText);
    l->setMargin(0);
    l->setIndent(0);
    // Labels are drawn below the controls that can take the focus.
    l->lower();
    backColor_ = systemButtonFace();
    foreColor_ = QApplication::palette().color(QPalette::Active, QPalette::WindowText);
    applyColors();
}

Label::~Label() = default;

QLabel *Label::label() const
{
    return static_cast<QLabel *>(widget());
}

QString Label::Caption() const
{
    return label()->text();
}

void Label::setCaption(const QString &caption)
{
    label()->setText(caption);
    if (autoSize_)
        fitToText();
}

void Label::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    label()->setWordWrap(!autoSize);
    if (autoSize_ && !Caption().isEmpty())
        fitToText();
}

void Label::fontChanged()
{
    if (autoSize_ && !Caption().isEmpty())
        fitToText();
}

void Label::setBackColor(const QColor &color)
{
    backColor_ = color;
    transparent_ = false;
    applyColors();
}

void Label::setTransparent(bool transparent)
{
    transparent_ = transparent;
    applyColors();
}

void Label::setForeColor(const QColor &color)
{
    foreColor_ = color;
    applyColors();
}

void Label::applyColors()
{
    QLabel *l = label();
    QPalette p = l->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Window, backColor_);
        p.setColor(g, QPalette::WindowText, foreColor_);
    }
    l->setPalette(p);
    l->setAutoFillBackground(!transparent_);
}

void Label::fitToText()
{
    const QFontMetrics fm(label()->font());
    const QString text = Caption();
    int width = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        width = std::max(width, fm.horizontalAdvance(line));
    const int height = fm.height() * static_cast<int>(lines.size());
    // Keeps Left and Top: the label grows to the right and downwards.
    storeSize(pixelsToTwips(width), pixelsToTwips(height));
}

}  // namespace ui
