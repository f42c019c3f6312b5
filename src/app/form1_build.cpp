// SPDX-License-Identifier: MIT
// The window's own controls: their names, places, texts, colours and fonts,
// and the events of every control, the boxes' included, that reach the
// window's handlers. The boxes over the file list build their own controls.

#include "form1.h"

#include "about_panel.h"
#include "controls.h"
#include "file_list.h"
#include "gems_fix_panel.h"
#include "look.h"
#include "make.h"
#include "sound_engine_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <initializer_list>
#include <utility>

using namespace varnoquil;

namespace layout = ui::layout;

namespace {

constexpr int kTimerInterval = 100; // milliseconds between the ticks of the heading wave

// The toolbar's buttons take no focus: their keys reach them, and Tab stays
// among the list, an open box and the controls below the list.
QToolButton* ToolButton(QWidget* toolbar, const char* name, layout::Slot slot, const QString& caption,
                        const QColor& colour, const QString& hint, const QList<QKeySequence>& keys = {})
{
    QToolButton* button = make::Button(toolbar, name, caption, colour,
                                       {slot.left, layout::kToolButtonTop, slot.width, layout::kToolButtonHeight});
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    if (!keys.isEmpty())
        make::Shortcut(button, keys, hint);
    return button;
}

} // namespace

void TForm1::CreateControls()
{
    Label1 = make::Named(new QLabel(QString::fromLatin1(ui::TitleText().c_str()), client_), "Label1");
    Label1->setFont(look::SmallFonts());
    Label1->setAlignment(Qt::AlignCenter);
    look::SetTextColour(Label1, look::kAzure);
    look::SetBackground(Label1, look::kBlack);
    Label1->setCursor(Qt::SizeAllCursor);

    Panel3 = make::Panel(client_, "Panel3", look::kBlack);
    ListBox1 = make::Named(new FileList(client_), "ListBox1");
    ListBox1->setFrameShape(QFrame::NoFrame);
    ListBox1->setFont(look::SmallFonts());
    look::SetBackground(ListBox1, look::kBlack);
    look::SetTextColour(ListBox1, look::kLime);
    ListBox1->setItemDelegate(new FileListDelegate(
        [this](QPainter& canvas, int index, const QRect& rect, QStyle::State state) {
            ListBox1DrawItem(canvas, index, rect, static_cast<int>(state));
        },
        ListBox1));
    ListBox1->setUniformItemSizes(true);
    Panel1 = make::Panel(client_, "Panel1", look::kDeepBlue);
    Panel2 = make::Panel(client_, "Panel2", look::kBlack);

    CreateToolbar();
    CreateInfoPanel();
    CreatePathBar();
    AboutBox = new AboutPanel(client_);
    FixBox = new GemsFixPanel(
        client_, Label3,
        [this] {
            for (QToolButton* button : {SpeedButton13, DelButton, CheckSumButton, SEListButton})
                button->setEnabled(false);
        },
        // Checksum stays disabled until the next selection in the list decides it.
        [this] {
            SEListButton->setEnabled(true);
            SpeedButton13->setEnabled(true);
            ListBox1->setEnabled(true);
            ListBox1->setFocus();
            UpdateEntryButtons();
        },
        // During a run FIX would open the box for another input, and Delete
        // and Checksum could change the file the run reads.
        [this](bool running) {
            FixButton->setEnabled(!running && !SelectedFile.empty());
            if (running) {
                DelButton->setEnabled(false);
                CheckSumButton->setEnabled(false);
            }
        });
    SEListBox = new SoundEnginePanel(client_);

    Timer1 = make::Named(new QTimer(this), "Timer1");
    Timer1->setInterval(kTimerInterval);
}

void TForm1::CreateToolbar()
{
    // The three buttons on the right are placed by the resize layout.
    const layout::Slot right{0, layout::kRightButtonWidth};
    // Backspace and Enter act in the file list itself.
    SpeedButton4 = ToolButton(Panel3, "SpeedButton4", layout::kBackButton, QStringLiteral("<-"), look::kLime,
                              QStringLiteral("Previous folder (Backspace)"));
    SpeedButton4->setFont(look::SmallFonts(layout::kArrowFontHeight));
    SpeedButton8 = ToolButton(Panel3, "SpeedButton8", layout::kRootButton, QStringLiteral("/"), look::kAqua,
                              QStringLiteral("Root folder"));
    SpeedButton8->setFont(look::SmallFonts(layout::kArrowFontHeight));
    FixButton = ToolButton(Panel3, "FixButton", layout::kFixButton, QStringLiteral("FIX"), look::kLime,
                           QStringLiteral("Change GEMS tables (Enter)"));
    FixButton->setEnabled(false);
    CheckSumButton
        = ToolButton(Panel3, "CheckSumButton", layout::kChecksumButton, QStringLiteral("Checksum"), look::kOrange,
                     QStringLiteral("Fix ROM checksum"), {QKeySequence(Qt::CTRL | Qt::Key_K)});
    CheckSumButton->setEnabled(false);
    DelButton = ToolButton(Panel3, "DelButton", layout::kDeleteButton, QStringLiteral("Delete"), look::kRed,
                           QStringLiteral("Delete selected file"), {QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    SEListButton = ToolButton(Panel3, "SEListButton", layout::kSEListButton, QStringLiteral("SE List"), look::kYellow,
                              QStringLiteral("Sound engine list"), {QKeySequence(Qt::CTRL | Qt::Key_L)});
    SpeedButton13 = ToolButton(Panel3, "SpeedButton13", right, QStringLiteral("?"), look::kMaroon,
                               QStringLiteral("About program"), {QKeySequence(Qt::Key_F1)});
    SpeedButton3 = ToolButton(Panel3, "SpeedButton3", right, QStringLiteral("_"), look::kMaroon,
                              QStringLiteral("Minimize window"), {QKeySequence(Qt::CTRL | Qt::Key_M)});
    SpeedButton1 = ToolButton(Panel3, "SpeedButton1", right, QStringLiteral("X"), look::kMaroon,
                              QStringLiteral("Terminate program"), {QKeySequence(Qt::CTRL | Qt::Key_Q)});
}

void TForm1::CreateInfoPanel()
{
    Label2 = make::Named(new OverpaintedLabel(QStringLiteral("Information"), Panel1), "Label2");
    Label2->setFont(look::SmallFonts());
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    look::SetTextColour(Label2, look::kRed);
    look::SetBackground(Label2, look::kDeepBlue);
    Label2->setGeometry(make::Place(layout::kHeading));

    // Its height follows the panel's (resize layout). Label3 fills it, and
    // grows past it when its text is taller: then the box scrolls, by the
    // wheel or its thin bar.
    ScrollBox1 = make::Named(new QScrollArea(Panel1), "ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setWidgetResizable(true);
    look::SetBackground(ScrollBox1->viewport(), look::kBlack);
    look::MakeThinScrollBar(ScrollBox1->verticalScrollBar(), layout::kInformationScrollBarWidth, look::kDeepBlue,
                            look::kAzure);
    ScrollBox1->setGeometry(make::Place(layout::kInformation));
    Label3 = make::Named(new QLabel(QStringLiteral("Select BIN file.")), "Label3");
    Label3->setFont(look::SmallFonts());
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setWordWrap(true);
    Label3->setTextFormat(Qt::PlainText); // header bytes are never markup
    look::SetTextColour(Label3, look::kAzure);
    look::SetBackground(Label3, look::kBlack);
    ScrollBox1->setWidget(Label3);

    CheckBox1 = make::Named(new QCheckBox(QStringLiteral("show only *.bin "), Panel1), "CheckBox1");
    CheckBox1->setFont(look::SmallFonts());
    CheckBox1->setChecked(true);
    look::SetTextColour(CheckBox1, look::kBlue);
    look::SetBackground(CheckBox1, look::kSilver);
    CheckBox1->setGeometry(make::Place(layout::kFilterCheckBox));
}

void TForm1::CreatePathBar()
{
    // Label4 fills the panel inside its bevel (docking).
    Label4 = make::Label(Panel2, "Label4", QStringLiteral("Current path"), look::kGray);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    look::SetBackground(Label4, look::kBlack);
    DiskBox = make::DropDownList(Panel2, "DiskBox", make::Place(layout::kDiskBox));
    DiskBox->setItemDelegate(new DriveItemDelegate(layout::kListItemHeight, DiskBox));
}

void TForm1::ConnectHandlers()
{
    // The hook looks at the event before it touches the window: events also
    // arrive while the window is being destroyed.
    auto* title = new EventHook(this, [this](QObject*, QEvent* event) {
        const QEvent::Type type = event->type();
        const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
            || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease;
        return mouse && RouteTitleMouse(event);
    });
    title->watch(Label1);
    Label2->overpaint = [this](QPainter& painter) { PaintWave(painter); };
    On(SpeedButton1, &QToolButton::clicked, &TForm1::SpeedButton1Click);
    On(SpeedButton3, &QToolButton::clicked, &TForm1::SpeedButton3Click);
    On(SpeedButton13, &QToolButton::clicked, &TForm1::SpeedButton13Click);
    On(AboutBox->SpeedButton15, &QToolButton::clicked, &TForm1::SpeedButton15Click);
    On(CheckBox1, &QCheckBox::clicked, &TForm1::CheckBox1Click);
    auto* list = static_cast<FileList*>(ListBox1); // built as one in CreateControls
    list->keyDown = [this](int key, Qt::KeyboardModifiers shift) { ListBox1KeyDown(key, shift); };
    list->keyUp = [this](int key, Qt::KeyboardModifiers shift) { ListBox1KeyUp(key, shift); };
    list->mouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
        ListBox1MouseDown(button, shift, x, y);
    };
    list->doubleClick = [this] { ListBox1DblClick(); };
    On(SpeedButton4, &QToolButton::clicked, &TForm1::SpeedButton4Click);
    On(SpeedButton8, &QToolButton::clicked, &TForm1::SpeedButton8Click);
    On(DelButton, &QToolButton::clicked, &TForm1::DelButtonClick);
    On(CheckSumButton, &QToolButton::clicked, &TForm1::CheckSumButtonClick);
    On(DiskBox, &QComboBox::activated, &TForm1::DiskBoxChange);
    On(FixButton, &QToolButton::clicked, &TForm1::FixButtonClick);
    ConnectFixPanel();
    On(SEListButton, &QToolButton::clicked, &TForm1::SEListButtonClick);
    On(SEListBox->SpeedButton10, &QToolButton::clicked, &TForm1::SpeedButton10Click);
    // Only a choice by the user raises the change; choosing by program does not.
    On(FixBox->PresetBox, &QComboBox::activated, &TForm1::PresetBoxChange);
    On(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    setAcceptDrops(true);
    Timer1->start();
    // F5 lists the folder again, as the filter's click does, while the list
    // can be used.
    auto* relist = new QShortcut(QKeySequence(Qt::Key_F5), ListBox1, nullptr, nullptr, Qt::WindowShortcut);
    On(relist, &QShortcut::activated, &TForm1::CheckBox1Click);
    SetTabOrder();
}

// Tab goes from the list into the open box, control by control, and then to
// the filter and the drives; hidden and disabled controls are passed over.
void TForm1::SetTabOrder()
{
    QWidget* previous = ListBox1;
    for (QWidget* next : std::initializer_list<QWidget*>{
             AboutBox->SpeedButton15, FixBox->In_Edit, FixBox->SpeedButton5, FixBox->Out_Edit, FixBox->SpeedButton6,
             FixBox->PresetBox, FixBox->FMBox, FixBox->PSGBox, FixBox->CheckBox2, FixBox->SpeedButton7,
             FixBox->SpeedButton2, SEListBox->ValueListEditor1, SEListBox->SpeedButton10, CheckBox1, DiskBox})
        setTabOrder(std::exchange(previous, next), next);
}

void TForm1::ConnectFixPanel()
{
    On(FixBox->SpeedButton2, &QToolButton::clicked, &TForm1::SpeedButton2Click);
    On(FixBox->SpeedButton5, &QToolButton::clicked, &TForm1::SpeedButton5Click);
    On(FixBox->SpeedButton6, &QToolButton::clicked, &TForm1::SpeedButton6Click);
    On(FixBox->SpeedButton7, &QToolButton::clicked, &TForm1::SpeedButton7Click);
    for (QLineEdit* edit : {FixBox->In_Edit, FixBox->Out_Edit, FixBox->FMBox, FixBox->PSGBox})
        On(edit, &QLineEdit::textChanged, &TForm1::In_EditChange);
    FixBox->UpDown1->changing = [this](int proposed) { return UpDown1ChangingEx(proposed); };
    FixBox->UpDown2->changing = [this](int proposed) { return UpDown2ChangingEx(proposed); };
    FixBox->scaleKeyPress = [this](QLineEdit* box, QChar& key) { FMBoxKeyPress(box, key); };

    // The hook looks at the event before it touches the window: events also
    // arrive while the window is being destroyed.
    auto* clicks = new EventHook(this, [this](QObject*, QEvent* event) {
        // The second press of a double click is a press as well.
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        Label10MouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
        return true;
    });
    clicks->watch(FixBox->Label10);
}
