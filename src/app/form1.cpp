// SPDX-License-Identifier: MIT
// The window's frame: creation, docking of the controls, the sizing frame,
// moving with edge snapping, and the routing of control events to handlers.

#include "form1.h"

#include "controls.h"
#include "errors.h"
#include "gems_fix_panel.h"
#include "look.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QWindow>

using namespace varnoquil;
namespace layout = ui::layout;

namespace {

constexpr double kOpacity = 235 / 255.0;

// The program's icon, in the sizes rendered from its drawing.
QIcon WindowIcon()
{
    QIcon icon;
    for (const char* rendering : {":/icons/48.png", ":/icons/128.png"})
        icon.addFile(QString::fromLatin1(rendering));
    return icon;
}

// A mouse event's position in its receiver's own coordinates.
QPoint At(const QMouseEvent* event)
{
    return event->position().toPoint();
}

Qt::Edges QtEdges(int edges)
{
    Qt::Edges result;
    result.setFlag(Qt::LeftEdge, edges & ui::kLeftEdge);
    result.setFlag(Qt::TopEdge, edges & ui::kTopEdge);
    result.setFlag(Qt::RightEdge, edges & ui::kRightEdge);
    result.setFlag(Qt::BottomEdge, edges & ui::kBottomEdge);
    return result;
}

Qt::CursorShape SizingCursor(int edges)
{
    const bool horizontal = edges & (ui::kLeftEdge | ui::kRightEdge);
    const bool vertical = edges & (ui::kTopEdge | ui::kBottomEdge);
    if (horizontal && vertical) {
        const bool falling = edges == (ui::kLeftEdge | ui::kTopEdge) || edges == (ui::kRightEdge | ui::kBottomEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    return vertical ? Qt::SizeVerCursor : Qt::ArrowCursor;
}

} // namespace

TForm1::TForm1(const std::string& startFolder)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), startFolder_(startFolder), client_(new QWidget(this))
{
    look::InstallFontSubstitutes();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Varnoquil"));
    setWindowIcon(WindowIcon());
    setFont(look::SystemFont());
    look::SetBackground(this, look::kBlack);
    setWindowOpacity(kOpacity);
    setMinimumSize(layout::kMinimumSize.width, layout::kMinimumSize.height);
    setMouseTracking(true);

    look::SetBackground(client_, look::kBlack);
    client_->setCursor(Qt::ArrowCursor);
    CreateControls();
    ConnectHandlers();

    const QSize start(layout::kStartSize.width, layout::kStartSize.height);
    resize(start);
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();
    move(desktop.center() - QPoint(start.width() / 2, start.height() / 2));
    DockControls();
    FormCreate();
}

std::string TForm1::ProgramFolder()
{
    try {
        return platform::folderOf(platform::executablePath());
    } catch (const Error&) {
        return {};
    }
}

// Places the docked controls: Label1 and Panel3 at the top, Panel2 at the
// bottom, Panel1 on the right between them, ListBox1 in the rest.
void TForm1::DockControls()
{
    const int f = layout::kFrameThickness;
    client_->setGeometry(f, f, width() - 2 * f, height() - 2 * f);
    const int w = client_->width();
    const int h = client_->height();
    Label1->setGeometry(0, 0, w, layout::kTitleHeight);
    Panel3->setGeometry(0, layout::kTitleHeight, w, layout::kToolbarHeight);
    Panel2->setGeometry(0, h - layout::kPathBarHeight, w, layout::kPathBarHeight);
    const int middle = h - layout::kListTop - layout::kPathBarHeight;
    const int listWidth = w - layout::kInfoPanelWidth;
    Panel1->setGeometry(listWidth, layout::kListTop, layout::kInfoPanelWidth, middle);
    ListBox1->setGeometry(0, layout::kListTop, listWidth, middle);
    Label4->setGeometry(1, 1, Panel2->width() - 2, Panel2->height() - 2);
}

ui::DockedSizes TForm1::DockedSizesNow() const
{
    ui::DockedSizes sizes;
    sizes.outerWidth = width();
    sizes.toolbarWidth = Panel3->width();
    sizes.infoPanelHeight = Panel1->height();
    sizes.listTop = ListBox1->y();
    sizes.listWidth = ListBox1->width();
    sizes.listHeight = ListBox1->height();
    return sizes;
}

void TForm1::PlaceToolbarAndPanel(const ui::ResizeLayout& layout)
{
    SpeedButton1->move(layout.closeButtonLeft, SpeedButton1->y());
    SpeedButton3->move(layout.minimizeButtonLeft, SpeedButton3->y());
    SpeedButton13->move(layout.aboutButtonLeft, SpeedButton13->y());
    CheckBox1->move(CheckBox1->x(), layout.checkBoxTop);
    ScrollBox1->resize(ScrollBox1->width(), layout.infoLabelHeight);
}

// Every move the program makes lands on a work-area edge within reach,
// unless the window is maximized.
void TForm1::MoveSnapped(int left, int top)
{
    ui::Point target{left, top};
    if (!isMaximized()) {
        const QRect area = screen()->availableGeometry();
        const ui::WorkArea workArea{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
        target = ui::SnapToWorkArea(target, {frameGeometry().width(), frameGeometry().height()}, workArea);
    }
    move(target.x, target.y);
}

void TForm1::PaintWave(QPainter& painter) const
{
    for (const ui::WavePixel& pixel : ui::WavePixels(Label2->width(), WavePhase))
        painter.fillRect(pixel.x, pixel.y, 1, 1, pixel.curve == 1 ? look::kRed : look::kGreen);
}

// The title label's mouse events, turned into its drag handlers. The point
// is taken from the pointer's screen position: the local position the
// display server reports for a move may still be relative to where the
// window stood before the previous move, which would make it overshoot.
bool TForm1::RouteTitleMouse(QEvent* event)
{
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    const QPoint at = Label1->mapFromGlobal(mouse->globalPosition().toPoint());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a double click
        Label1MouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
        return true;
    case QEvent::MouseMove: Label1MouseMove(mouse->modifiers(), at.x(), at.y()); return true;
    case QEvent::MouseButtonRelease: Label1MouseUp(mouse->button(), mouse->modifiers(), at.x(), at.y()); return true;
    default: return false;
    }
}

void TForm1::resizeEvent(QResizeEvent*)
{
    DockControls();
    TApplication::Guard([this] { FormResize(); });
}

void TForm1::showEvent(QShowEvent* event)
{
    // Restoring from the task bar shows the window again without showing it
    // anew.
    if (!event->spontaneous())
        TApplication::Guard([this] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FixBox->CancelRun();
    QWidget::closeEvent(event);
}

void TForm1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(look::kFrameLine);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TForm1::mousePressEvent(QMouseEvent* event)
{
    const int edges = ui::FrameEdgesAt({At(event).x(), At(event).y()}, {width(), height()}, layout::kFrameThickness);
    if (edges != ui::kNoEdge && event->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemResize(QtEdges(edges));
}

void TForm1::mouseMoveEvent(QMouseEvent* event)
{
    const int edges = ui::FrameEdgesAt({At(event).x(), At(event).y()}, {width(), height()}, layout::kFrameThickness);
    setCursor(SizingCursor(edges));
}
