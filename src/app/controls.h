#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QWidget>

#include <functional>

class QPainter;
class QToolButton;

// A label that lets its owner draw over it once it has painted itself.
class OverpaintedLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(QPainter&)> overpaint;

protected:
    void paintEvent(QPaintEvent* event) override;
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
    void setPosition(int position);
    void setRange(int minimum, int maximum);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int delta);

    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};
