// SPDX-License-Identifier: MIT
#include "file_list.h"

#include "application.h"
#include "ui/layout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>
#include <vector>

int FileList::KeyCode(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace: return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kEnter;
    default: return event->key(); // Qt's key codes are never 0, 8 or 13
    }
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    held_.insert(event->key());
    if (keyDown)
        TApplication::Guard([&] { keyDown(KeyCode(event), event->modifiers()); });
    QListWidget::keyPressEvent(event);
}

void FileList::keyReleaseEvent(QKeyEvent* event)
{
    QListWidget::keyReleaseEvent(event);
    // A held key repeats its press; its release comes once, at the end.
    if (event->isAutoRepeat() || !held_.remove(event->key()))
        return;
    if (keyUp)
        TApplication::Guard([&] { keyUp(KeyCode(event), event->modifiers()); });
}

void FileList::focusOutEvent(QFocusEvent* event)
{
    held_.clear();
    QListWidget::focusOutEvent(event);
}

void FileList::mousePressEvent(QMouseEvent* event)
{
    // Only the left button moves the selection.
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
    if (mouseDown) {
        const QPoint at = event->position().toPoint();
        TApplication::Guard([&] { mouseDown(event->button(), event->modifiers(), at.x(), at.y()); });
    }
}

// The second press of a double click moves the selection like the first,
// runs the double-click action when it lands on an entry, and then counts as
// a press of its own.
void FileList::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(), event->globalPosition(),
                          event->button(), event->buttons(), event->modifiers());
        QListWidget::mousePressEvent(&press);
        if (doubleClick && itemAt(at))
            TApplication::Guard(doubleClick);
    }
    if (mouseDown)
        TApplication::Guard([&] { mouseDown(event->button(), event->modifiers(), at.x(), at.y()); });
}

FileListDelegate::FileListDelegate(DrawItem draw, QObject* parent)
    : FixedHeightDelegate(varnoquil::ui::layout::kListItemHeight, parent), draw_(std::move(draw))
{}

// The whole entry, its focus mark included, is drawn inside its own row: the
// list repaints the rows the focus leaves and enters, and a dot past a row's
// edge would stay behind in the row next to it.
void FileListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setClipRect(option.rect, Qt::IntersectClip);
    painter->setFont(option.font);
    draw_(*painter, index.row(), option.rect, option.state);
    if (option.state & QStyle::State_HasFocus)
        DrawFocusRect(*painter, option.rect);
    painter->restore();
}

void DrawFocusRect(QPainter& painter, const QRect& rect)
{
    if (rect.isEmpty())
        return;
    // Walk the edge once, clockwise, so that no pixel is inverted twice.
    std::vector<QPoint> edge;
    for (int x = rect.left(); x <= rect.right(); ++x)
        edge.emplace_back(x, rect.top());
    for (int y = rect.top() + 1; y <= rect.bottom(); ++y)
        edge.emplace_back(rect.right(), y);
    for (int x = rect.right() - 1; x >= rect.left() && rect.bottom() > rect.top(); --x)
        edge.emplace_back(x, rect.bottom());
    for (int y = rect.bottom() - 1; y > rect.top() && rect.right() > rect.left(); --y)
        edge.emplace_back(rect.left(), y);
    std::vector<QPoint> dots;
    for (std::size_t i = 0; i < edge.size(); i += 2)
        dots.push_back(edge[i]);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // White in difference mode inverts what lies below. Each dot fills its
    // own pixel square, which covers whole device pixels at every scale; a
    // point drawn with a pen would be centred on the pixel's corner and, at
    // scale 2, fall half outside it.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    for (const QPoint& dot : dots)
        painter.fillRect(QRect(dot, QSize(1, 1)), Qt::white);
    painter.restore();
}

void DriveItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    painter->setFont(option.font);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect.adjusted(varnoquil::ui::layout::kDriveTextIndent, 0, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data(Qt::DisplayRole).toString());
    painter->restore();
    if (option.state & QStyle::State_HasFocus)
        DrawFocusRect(*painter, option.rect);
}
