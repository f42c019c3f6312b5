// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QWidget>

#include <cstdint>
#include <functional>

class QPainter;
class QProgressBar;

// A label that lets its owner draw over it once it has painted itself.
class OverpaintedLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(QPainter&)> overpaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A flat button. One that takes the focus shows it as the raised edge the
// pointer brings, never as a focus frame, and Enter clicks it as Space does.
class FlatToolButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A group box drawn as on the desktop the window comes from: the caption at
// 8, 0 on the box's background, the frame starting halfway down the caption.
class CaptionedGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Gives every item of a list the same height.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int height, QObject* parent);
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int height_;
};

// A pair of arrow buttons that steps a position within a range. It stands
// beside an edit box without being tied to it: its owner keeps the two in
// step.
class UpDown : public QWidget {
public:
    explicit UpDown(QWidget* parent);
    int position() const { return position_; }
    // Sets the position by program; the changing hook is not asked.
    void setPosition(int position);
    void setRange(int minimum, int maximum);
    QToolButton* upArrow() const { return up_; }
    QToolButton* downArrow() const { return down_; }
    // Steps the position as a click on an arrow does.
    void step(int delta);

    // Asked before a click on an arrow moves the position, with the position
    // proposed (already within the range); returning false, or failing,
    // refuses the step.
    std::function<bool(int proposed)> changing;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

// Routes the events of the objects it watches to one function, which returns
// true to swallow an event before its receiver sees it. An error in the
// function is shown in the standard error box and swallows the event.
class EventHook : public QObject {
public:
    using Handler = std::function<bool(QObject* watched, QEvent* event)>;
    EventHook(QObject* parent, Handler handler);
    void watch(QObject* object) { object->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};

// Drives a progress bar with 64-bit counts. A maximum beyond the bar's int
// range is divided down, so neither the maximum nor the position overflows;
// the position never passes the maximum.
class LongProgress {
public:
    explicit LongProgress(QProgressBar* bar) : bar_(bar) {}
    void setMaximum(std::int64_t maximum);
    void advance(std::int64_t steps);

private:
    QProgressBar* bar_;
    std::int64_t maximum_ = 0;
    std::int64_t position_ = 0;
    std::int64_t divisor_ = 1;
};
