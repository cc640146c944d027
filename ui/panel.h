#pragma once

#include <QFrame>

// A raised box with a centred caption that acts as a button: a click, or Space or Enter while it has the
// keyboard focus, emits clicked().
class Panel : public QFrame {
    Q_OBJECT
public:
    explicit Panel(const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // An own background colour (the update notice blinks this way); invalid means the face colour.
    QColor color() const { return color_; }
    void setColor(const QColor& color);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString caption_;
    QColor color_;
    bool pressed_ = false;
};
