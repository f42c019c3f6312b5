// SPDX-License-Identifier: MIT
#include "controls.h"

#include "application.h"
#include "look.h"
#include "ui/layout.h"

#include <QKeyEvent>
#include <QPainter>
#include <QProgressBar>
#include <QStyleOptionFrame>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <algorithm>
#include <limits>

void OverpaintedLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (overpaint) {
        QPainter painter(this);
        overpaint(painter);
    }
}

void FlatToolButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    if (option.state & QStyle::State_HasFocus)
        option.state |= QStyle::State_MouseOver | QStyle::State_Raised;
    option.state &= ~QStyle::State_HasFocus;
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}

void FlatToolButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        click();
    else
        QToolButton::keyPressEvent(event);
}

void CaptionedGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, metrics.height() / 2, 0, 0);
    frame.lineWidth = 1;
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, this);
    const QRect caption(varnoquil::ui::layout::kCaptionAt.x, varnoquil::ui::layout::kCaptionAt.y,
                        metrics.horizontalAdvance(title()), metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop, title());
}

FixedHeightDelegate::FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}

QSize FixedHeightDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
}

UpDown::UpDown(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    // The arrows are drawn in the platform's colours, whatever the colours of
    // the box they stand in.
    look::UsePlatformColours(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("StepUp"));
    down_->setObjectName(QStringLiteral("StepDown"));
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::setPosition(int position)
{
    position_ = std::clamp(position, minimum_, maximum_);
}

void UpDown::setRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = maximum;
    setPosition(position_);
}

void UpDown::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDown::step(int delta)
{
    const int proposed = std::clamp(position_ + delta, minimum_, maximum_);
    bool allowed = proposed != position_;
    if (allowed && changing && !TApplication::Guard([&] { allowed = changing(proposed); }))
        return;
    if (allowed)
        position_ = proposed;
}

EventHook::EventHook(QObject* parent, Handler handler) : QObject(parent), handler_(std::move(handler)) {}

bool EventHook::eventFilter(QObject* watched, QEvent* event)
{
    // An event whose handling failed counts as handled.
    bool swallowed = true;
    TApplication::Guard([&] { swallowed = handler_(watched, event); });
    return swallowed;
}

void LongProgress::setMaximum(std::int64_t maximum)
{
    constexpr std::int64_t kBarMaximum = std::numeric_limits<int>::max();
    maximum_ = std::max<std::int64_t>(maximum, 0);
    divisor_ = maximum_ / kBarMaximum + 1;
    position_ = 0;
    bar_->setRange(0, static_cast<int>(maximum_ / divisor_));
    bar_->setValue(0);
}

void LongProgress::advance(std::int64_t steps)
{
    position_ = std::clamp<std::int64_t>(position_ + steps, 0, maximum_);
    bar_->setValue(static_cast<int>(position_ / divisor_));
}
