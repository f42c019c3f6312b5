// SPDX-License-Identifier: MIT
#pragma once

#include "controls.h"

#include <QListWidget>
#include <QSet>
#include <QStyle>

#include <functional>

// The file list. Its owner hears of key presses before the list moves its
// selection, of key releases and mouse presses after it, and of a double
// click before the second press of that double click. An error in the owner's
// handling ends that handling alone and is shown in the standard error box.
class FileList : public QListWidget {
public:
    using QListWidget::QListWidget;

    // Key codes as the handlers know them; every other key passes its own
    // code, which is never one of these.
    static constexpr int kNoKey = 0;
    static constexpr int kBackspace = 8;
    static constexpr int kEnter = 13;
    static int KeyCode(const QKeyEvent* event);

    std::function<void(int key, Qt::KeyboardModifiers shift)> keyDown;
    std::function<void(int key, Qt::KeyboardModifiers shift)> keyUp;
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)> mouseDown;
    std::function<void()> doubleClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Keys pressed while the list had the focus. A key pressed elsewhere,
    // such as the Enter that closes an error box, is not released here.
    QSet<int> held_;
};

// Draws each entry of the file list through its owner, at a fixed height,
// then the dotted focus mark around the current entry while the list has
// the focus. Nothing else is drawn: no selection, no icon.
class FileListDelegate : public FixedHeightDelegate {
public:
    using DrawItem = std::function<void(QPainter& painter, int index, const QRect& rect, QStyle::State state)>;
    FileListDelegate(DrawItem draw, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    DrawItem draw_;
};

// The dotted focus mark: every other pixel along the rectangle's edge,
// inverted, so it shows on any background.
void DrawFocusRect(QPainter& painter, const QRect& rect);

// The drive box's items: the background (or the highlight for the selected
// item) with the text 2 pixels from the left edge, at the top.
class DriveItemDelegate : public FixedHeightDelegate {
public:
    using FixedHeightDelegate::FixedHeightDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
