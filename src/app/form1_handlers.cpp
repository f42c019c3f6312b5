// SPDX-License-Identifier: MIT
// Start-up and the handlers of the window frame, the heading, the path bar
// and the About box.

#include "form1.h"

#include "about_panel.h"
#include "browser/browser.h"
#include "controls.h"
#include "gems_fix_panel.h"
#include "look.h"
#include "make.h"
#include "platform/platform.h"
#include "sound_engine_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QToolButton>
#include <QWindow>

using namespace varnoquil;
namespace layout = ui::layout;

// Brings every part of the window into its start state, in this order.
void TForm1::FormCreate()
{
    EnterFolderIfPossible(startFolder_);
    UpdatePathLabel();
    StartupListing();
    PlaceToolbarAndPanel(ui::LayoutFor(DockedSizesNow()));
    CreateCaptionOverlays();
    AboutBox->SetText(look::LabelText(ui::AboutText()));
    FillDiskBox();
    FixBox->FillPresets();
    FormResize();
}

// The window asks for the keyboard as it comes up: without a window
// manager to give it (a bare X server) the keys would reach the list but no
// shortcut would, and no focus would show.
void TForm1::FormShow()
{
    activateWindow();
    ListBox1->setFocus();
}

void TForm1::FormResize()
{
    const ui::ResizeLayout layout = ui::LayoutFor(DockedSizesNow());
    PlaceToolbarAndPanel(layout);
    UpdatePathLabel();
    AboutBox->move(layout.aboutBox.x, layout.aboutBox.y);
    FixBox->move(layout.fixBox.x, layout.fixBox.y);
    SEListBox->move(layout.seListBox.x, layout.seListBox.y);
    DiskBox->move(layout.diskBoxLeft, DiskBox->y());
}

// Wayland clients cannot place their own windows: there the compositor
// moves the window (and snaps it as it does every window) once asked to.
void TForm1::Label1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)
{
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland")) && windowHandle()
        && windowHandle()->startSystemMove())
        return;
    Dragging = true;
    DragX = X;
    DragY = Y;
}

// Two moves, the left first, each snapped on its own.
void TForm1::Label1MouseMove(Qt::KeyboardModifiers, int X, int Y)
{
    if (!Dragging)
        return;
    MoveSnapped(x() - DragX + X, y());
    MoveSnapped(x(), y() - DragY + Y);
}

void TForm1::Label1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    Dragging = false;
}

void TForm1::SpeedButton1Click()
{
    close();
}

void TForm1::SpeedButton3Click()
{
    showMinimized();
}

void TForm1::SpeedButton13Click()
{
    AboutBox->show();
    SEListButton->setEnabled(false);
    FixButton->setEnabled(false);
    DelButton->setEnabled(false);
    ListBox1->setEnabled(false);
}

void TForm1::SpeedButton15Click()
{
    AboutBox->hide();
    ListBox1->setEnabled(true);
    SEListButton->setEnabled(true);
    ListBox1->setFocus();
    UpdateEntryButtons();
}

void TForm1::Timer1Timer()
{
    // The label paints the curves of the current phase over itself.
    WavePhase = ui::NextWavePhase(WavePhase);
    Label2->update();
}

void TForm1::UpdatePathLabel()
{
    // Room is left on the right for the drive box.
    const int room = Label4->width() - layout::kPathRoomForDiskBox;
    Label4->setText(look::PathToFit(platform::currentDir(), Label4->font(), room));
}

// Each box shows its caption in its own colour through an opaque label that
// covers the box's own caption, in the box's font, which it inherits.
void TForm1::CreateCaptionOverlays()
{
    using Overlay = std::pair<QGroupBox*, QColor>;
    for (const auto& [box, colour] :
         {Overlay{AboutBox, look::kRed}, Overlay{FixBox, look::kLime}, Overlay{SEListBox, look::kYellow}}) {
        auto* overlay = new QLabel(box->title(), box);
        overlay->setObjectName(box->objectName() + QStringLiteral("Caption"));
        look::SetTextColour(overlay, colour);
        look::SetBackground(overlay, box->palette().color(QPalette::Window));
        overlay->move(make::Place(layout::kCaptionAt));
        overlay->adjustSize();
    }
}

void TForm1::FillDiskBox()
{
    std::vector<std::string> roots;
    for (const platform::Drive& drive : platform::listDrives()) {
        DiskBox->addItem(QString::fromStdString(ui::DriveBoxText(drive.root, drive.text)),
                         QString::fromStdString(drive.root));
        roots.push_back(drive.root);
    }
    DiskBox->setCurrentIndex(ui::DriveHolding(roots, startFolder_));
}
