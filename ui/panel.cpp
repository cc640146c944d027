#include "ui/panel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

Panel::Panel(const QString& caption, QWidget* parent) : QFrame(parent), caption_(caption) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(caption);
}

void Panel::setCaption(const QString& caption) {
    caption_ = caption;
    setAccessibleName(caption);
    update();
}

void Panel::setColor(const QColor& color) {
    color_ = color;
    update();
}

void Panel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), color_.isValid() ? color_ : palette().color(QPalette::Button));
    painter.end();
    QFrame::paintEvent(event);
    QPainter text(this);
    text.setPen(palette().color(QPalette::ButtonText));
    // Where the window font is wider than the one the layout was drawn for, the caption shrinks to fit.
    const int room = contentsRect().width() - 4;
    const int needed = fontMetrics().horizontalAdvance(caption_);
    if (needed > room && room > 0) {
        QFont smaller = font();
        smaller.setPointSizeF(font().pointSizeF() * room / needed);
        text.setFont(smaller);
    }
    text.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = contentsRect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &text, this);
    }
}

void Panel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        setFrameShadow(QFrame::Sunken);
    }
}

void Panel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    setFrameShadow(QFrame::Raised);
    if (rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void Panel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT clicked();
        break;
    default:
        QFrame::keyPressEvent(event);
    }
}
