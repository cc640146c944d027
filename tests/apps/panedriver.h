#pragma once

#include "ui/textpane.h"

#include <QContextMenuEvent>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

// Drives a pane with the mouse the way a person would: the line is scrolled into view first.
namespace panedriver {

// A point inside the text of a line (or of its visual row `row` when the line wraps).
inline QPoint pointOfLine(TextPane* pane, int line, int row = 0) {
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    QTextCursor cursor(block);
    if (block.layout() && row < block.layout()->lineCount())
        cursor.setPosition(block.position() + qMin(block.layout()->lineAt(row).textStart() + 1, block.length() - 1));
    pane->setTextCursor(cursor);
    pane->ensureCursorVisible();
    return pane->cursorRect(cursor).center();
}

inline void doubleClickAt(TextPane* pane, QPoint point) {
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

inline void doubleClickLine(TextPane* pane, int line, int row = 0) {
    doubleClickAt(pane, pointOfLine(pane, line, row));
}

// A right-click as the window system reports it: a context-menu request on the pane's viewport. (A right
// button clicked through QTest raises no such request on the offscreen platform.)
inline void rightClick(TextPane* pane) {
    const QPoint point = pane->viewport()->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, pane->viewport()->mapToGlobal(point));
    QCoreApplication::sendEvent(pane->viewport(), &event);
}

// A file dragged in from a file manager, which offers its address as text too, and dropped.
inline void dropFile(TextPane* pane, const QString& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    mime.setText(QUrl::fromLocalFile(path).toString());
    const QPoint point = pane->viewport()->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pane->viewport(), &enter);
    QDropEvent drop(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pane->viewport(), &drop);
}

} // namespace panedriver
