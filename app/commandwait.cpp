#include "app/commandwait.h"

#include "app/tform13.h"
#include "base/messages.h"
#include "storage/sizes.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

namespace {

const Message Progress{"%1 received · Esc: cancel", "%1 reçus · Échap : annuler"};
constexpr int BarDelayMs = 500;
constexpr int FrameMs = 40;

// A thin bar in the gap below the output log: a block slides along it and a short text says how much the
// command printed so far. It is a widget of its own, so nothing of it ever enters the log.
class BusyBar : public QWidget {
public:
    explicit BusyBar(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("BusyBar"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        connect(&frames_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
        frames_.start(FrameMs);
        clock_.start();
    }
    void setText(const QString& text) {
        text_ = text;
        setAccessibleName(text);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0x008080));
        painter.setBrush(QColor(0xE8F4F4));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        const int block = width() / 6;
        const int travel = width() + block;
        const int x = static_cast<int>(clock_.elapsed() / 4 % travel) - block;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x008080));
        // A thin stripe under the text, so the text stays readable.
        painter.drawRoundedRect(QRect(x, height() - 4, block, 3), 1, 1);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter, text_);
    }

private:
    QTimer frames_;
    QElapsedTimer clock_;
    QString text_;
};

} // namespace

CommandWait::CommandWait(TForm13* form, std::function<void()> cancel, bool withBar)
    : form_(form), cancel_(std::move(cancel)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // What the operation wrote so far is laid out and shown while the command runs.
    form_->RichEdit1->flushEdits();
    form_->RichEdit2->flushEdits();
    form_->RichEdit1->showEnd();
    qApp->installEventFilter(this);
    showBar_.setSingleShot(true);
    connect(&showBar_, &QTimer::timeout, this, [this] {
        auto* bar = new BusyBar(form_);
        const QRect log = form_->RichEdit1->geometry();
        bar->setGeometry(log.left(), log.bottom() + 3, log.width(), 16);
        bar_ = bar;
        setReceived(received_);
        bar->show();
    });
    if (withBar)
        showBar_.start(BarDelayMs);
}

CommandWait::~CommandWait() {
    qApp->removeEventFilter(this);
    delete bar_;
    QApplication::restoreOverrideCursor();
}

void CommandWait::setReceived(qint64 bytes) {
    received_ = bytes;
    if (auto* bar = static_cast<BusyBar*>(bar_))
        bar->setText(form_->text(Progress).arg(FormatBytes(bytes, form_->LangFR)));
}

bool CommandWait::heldOff(const QEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

bool CommandWait::inWindow(QObject* object) const {
    if (object->isWindowType())
        return object == form_->windowHandle();
    for (; object; object = object->parent())
        if (object->isWidgetType())
            return static_cast<QWidget*>(object)->window() == form_;
    return false;
}

bool CommandWait::eventFilter(QObject* watched, QEvent* event) {
    // A dialog that opens meanwhile (a question, an error box) is a window of its own and takes input.
    if (!inWindow(watched))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancel_();
        return true;
    }
    if (event->type() == QEvent::Close && watched == form_) {
        form_->closeAfterOperation();
        event->ignore();
        cancel_();
        return true;
    }
    return heldOff(*event);
}
