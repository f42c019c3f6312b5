// The window's controls: their names, places, texts, colours and fonts, and
// the events that reach their handlers.

#include "form1.h"

#include "controls.h"
#include "file_list.h"
#include "look.h"
#include "scale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using namespace varnoquil;

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A panel with a one-pixel raised bevel.
QFrame* Panel(QWidget* parent, const char* name, const QColor& background)
{
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    look::SetBackground(panel, background);
    return panel;
}

// A transparent label in the interface font, sized to its text.
QLabel* Label(QWidget* parent, const char* name, const QString& text, const QColor& colour, QPoint at = {})
{
    auto* label = Named(new QLabel(text, parent), name);
    label->setFont(look::SmallFonts());
    look::SetTextColour(label, colour);
    label->adjustSize();
    label->move(at);
    return label;
}

QToolButton* Button(QWidget* parent, const char* name, const QString& caption, const QColor& colour, QRect place)
{
    QToolButton* button = look::FlatButton(parent, name, caption, colour);
    button->setGeometry(place);
    return button;
}

// A hidden black group box whose font has the given colour.
QGroupBox* GroupBox(QWidget* parent, const char* name, const QString& caption, ui::Size size, const QColor& colour)
{
    auto* box = Named(new CaptionedGroupBox(caption, parent), name);
    box->setFont(look::SmallFonts());
    look::SetBackground(box, look::kBlack);
    look::SetTextColour(box, colour);
    box->resize(size.width, size.height);
    box->hide();
    return box;
}

// The platform's colour for texts in windows, which the GEMS Fix box uses.
QColor WindowTextColour()
{
    return QGuiApplication::palette().color(QPalette::WindowText);
}

QLineEdit* Edit(QWidget* parent, const char* name, QRect place)
{
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setFont(look::SmallFonts());
    look::SetBackground(edit, look::kGray);
    look::SetTextColour(edit, WindowTextColour());
    edit->setGeometry(place);
    return edit;
}

QComboBox* DropDownList(QWidget* parent, const char* name, QRect place)
{
    auto* box = Named(new QComboBox(parent), name);
    box->setFont(look::SmallFonts());
    look::SetBackground(box, look::kGray);
    look::SetTextColour(box, look::kBlack);
    box->setItemDelegate(new FixedHeightDelegate(16, box));
    box->setGeometry(place);
    return box;
}

// One of the two About labels: large centred lines, no background.
QLabel* AboutLabel(QWidget* parent, const char* name, QRect place, const QColor& colour)
{
    auto* label = Named(new QLabel(parent), name);
    label->setFont(look::SmallFonts(18));
    look::SetTextColour(label, colour);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(false);
    label->setGeometry(place);
    return label;
}

} // namespace

void TForm1::CreateControls()
{
    Label1 = Named(new QLabel(QStringLiteral(".::VARNOQUIL::. version 0x20130905"), client_), "Label1");
    Label1->setFont(look::SmallFonts());
    Label1->setAlignment(Qt::AlignCenter);
    look::SetTextColour(Label1, look::kAzure);
    look::SetBackground(Label1, look::kBlack);
    Label1->setCursor(Qt::SizeAllCursor);

    Panel3 = Panel(client_, "Panel3", look::kBlack);
    ListBox1 = Named(new FileList(client_), "ListBox1");
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
    Panel1 = Panel(client_, "Panel1", look::kDeepBlue);
    Panel2 = Panel(client_, "Panel2", look::kBlack);

    CreateToolbar();
    CreateInfoPanel();
    CreatePathBar();
    CreateAboutBox();
    CreateFixBox();
    CreateSEListBox();

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);
}

void TForm1::CreateToolbar()
{
    // The three buttons on the right are placed by the resize layout.
    const auto button = [this](const char* name, int left, int width, const QString& caption, const QColor& colour,
                               const QString& hint) {
        QToolButton* b = Button(Panel3, name, caption, colour, {left, 2, width, 22});
        b->setToolTip(hint);
        return b;
    };
    SpeedButton4 = button("SpeedButton4", 2, 22, QStringLiteral("<-"), look::kLime, QStringLiteral("Previous folder"));
    SpeedButton4->setFont(look::SmallFonts(16));
    SpeedButton8 = button("SpeedButton8", 26, 22, QStringLiteral("/"), look::kAqua, QStringLiteral("Root folder"));
    SpeedButton8->setFont(look::SmallFonts(16));
    FixButton = button("FixButton", 58, 55, QStringLiteral("FIX"), look::kLime, QStringLiteral("Change GEMS tables"));
    FixButton->setEnabled(false);
    CheckSumButton = button("CheckSumButton", 120, 49, QStringLiteral("Checksum"), look::kOrange,
                            QStringLiteral("Fix ROM checksum"));
    CheckSumButton->setEnabled(false);
    DelButton = button("DelButton", 176, 49, QStringLiteral("Delete"), look::kRed, QStringLiteral("Delete selected file"));
    SEListButton = button("SEListButton", 232, 49, QStringLiteral("SE List"), look::kYellow,
                          QStringLiteral("Sound engine list"));
    SpeedButton13 = button("SpeedButton13", 0, 23, QStringLiteral("?"), look::kMaroon, QStringLiteral("About program"));
    SpeedButton3 = button("SpeedButton3", 0, 23, QStringLiteral("_"), look::kMaroon, QStringLiteral("Minimize window"));
    SpeedButton1 = button("SpeedButton1", 0, 23, QStringLiteral("X"), look::kMaroon, QStringLiteral("Terminate program"));
}

void TForm1::CreateInfoPanel()
{
    Label2 = Named(new OverpaintedLabel(QStringLiteral("Information"), Panel1), "Label2");
    Label2->setFont(look::SmallFonts());
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    look::SetTextColour(Label2, look::kRed);
    look::SetBackground(Label2, look::kDeepBlue);
    Label2->setGeometry(8, 8, 153, 11);

    // Its height follows the panel's (resize layout).
    Label3 = Named(new QLabel(QStringLiteral("Select BIN file."), Panel1), "Label3");
    Label3->setFont(look::SmallFonts());
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setWordWrap(true);
    Label3->setTextFormat(Qt::PlainText);  // header bytes are never markup
    look::SetTextColour(Label3, look::kAzure);
    look::SetBackground(Label3, look::kBlack);
    Label3->setGeometry(8, 24, 153, 0);

    CheckBox1 = Named(new QCheckBox(QStringLiteral("show only *.bin "), Panel1), "CheckBox1");
    CheckBox1->setFont(look::SmallFonts());
    CheckBox1->setChecked(true);
    look::SetTextColour(CheckBox1, look::kBlue);
    look::SetBackground(CheckBox1, look::kSilver);
    CheckBox1->setGeometry(8, 0, 129, 17);
}

void TForm1::CreatePathBar()
{
    // Label4 fills the panel inside its bevel (docking).
    Label4 = Label(Panel2, "Label4", QStringLiteral("Current path"), look::kGray);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    look::SetBackground(Label4, look::kBlack);
    DiskBox = DropDownList(Panel2, "DiskBox", {0, 2, 137, 19});
    DiskBox->setItemDelegate(new DriveItemDelegate(16, DiskBox));
}

void TForm1::CreateAboutBox()
{
    AboutBox = GroupBox(client_, "AboutBox", QStringLiteral("About"), ui::kAboutBoxSize, look::kMaroon);
    SpeedButton15 = Button(AboutBox, "SpeedButton15", QStringLiteral("X"), look::kRed, {343, 8, 16, 16});
    // The gray text lies 2 pixels right of and 1 below the azure one, as
    // its shadow.
    Label24 = AboutLabel(AboutBox, "Label24", {10, 33, 344, 145}, look::kGray);
    Label25 = AboutLabel(AboutBox, "Label25", {8, 32, 345, 145}, look::kAzure);
}

void TForm1::CreateFixBox()
{
    FixBox = GroupBox(client_, "FixBox", QStringLiteral("GEMS Fix"), ui::kFixBoxSize, WindowTextColour());
    FixBox->move(16, 64);
    Label5 = Label(FixBox, "Label5", QStringLiteral("In File:"), look::kWhite, {16, 21});
    In_Edit = Edit(FixBox, "In_Edit", {72, 16, 241, 19});
    In_Edit->setReadOnly(true);
    // The "..." buttons are white like the labels: the platform's window
    // text colour would leave them black on the black box.
    SpeedButton5 = Button(FixBox, "SpeedButton5", QStringLiteral("..."), look::kWhite, {312, 15, 23, 22});
    Label6 = Label(FixBox, "Label6", QStringLiteral("Out File:"), look::kWhite, {16, 45});
    Out_Edit = Edit(FixBox, "Out_Edit", {72, 40, 241, 19});
    Out_Edit->setReadOnly(true);
    SpeedButton6 = Button(FixBox, "SpeedButton6", QStringLiteral("..."), look::kWhite, {312, 39, 23, 22});
    Label9 = Label(FixBox, "Label9", QStringLiteral("Preset:"), look::kWhite, {16, 69});
    PresetBox = DropDownList(FixBox, "PresetBox", {72, 64, 261, 19});
    CreateFixBoxScales();

    CheckBox2 = Named(new QCheckBox(FixBox), "CheckBox2");
    CheckBox2->setGeometry(16, 112, 17, 17);
    CheckBox2->setChecked(true);
    CheckBox2->setCursor(Qt::PointingHandCursor);
    look::UsePlatformColours(CheckBox2);  // a white box with a dark tick
    Label10 = Label(FixBox, "Label10", QStringLiteral("Out file checksum fix automaticly"), look::kAzure, {32, 115});
    Label10->setCursor(Qt::PointingHandCursor);
    ProgressBar1 = Named(new QProgressBar(FixBox), "ProgressBar1");
    ProgressBar1->setGeometry(16, 136, 257, 10);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    look::UsePlatformColours(ProgressBar1);
    SpeedButton7 = Button(FixBox, "SpeedButton7", QStringLiteral("Fix GEMS"), look::kLime, {288, 128, 63, 22});
    SpeedButton7->setEnabled(false);  // no files chosen yet
    SpeedButton2 = Button(FixBox, "SpeedButton2", QStringLiteral("X"), look::kRed, {342, 8, 16, 16});
}

void TForm1::CreateFixBoxScales()
{
    const auto scale = [this](const char* name, QRect place) {
        QLineEdit* box = Edit(FixBox, name, place);
        box->setText(QStringLiteral("0"));
        return box;
    };
    const auto upDown = [this](const char* name, QPoint at) {
        auto* control = Named(new UpDown(FixBox), name);
        control->setRange(kMinThousandths, kMaxThousandths);
        control->setGeometry(at.x(), at.y(), 16, 19);
        return control;
    };
    Label7 = Label(FixBox, "Label7", QStringLiteral("FM scale:"), look::kWhite, {16, 93});
    FMBox = scale("FMBox", {72, 88, 81, 19});
    UpDown1 = upDown("UpDown1", {153, 88});
    Label8 = Label(FixBox, "Label8", QStringLiteral("PSG scale:"), look::kWhite, {176, 93});
    PSGBox = scale("PSGBox", {236, 88, 81, 19});
    UpDown2 = upDown("UpDown2", {317, 88});
}

void TForm1::CreateSEListBox()
{
    SEListBox = GroupBox(client_, "SEListBox", QStringLiteral("Sound Engines List"), ui::kSEListBoxSize,
                         look::kMaroon);
    SpeedButton10 = Button(SEListBox, "SpeedButton10", QStringLiteral("X"), look::kRed, {351, 8, 16, 16});
    // One whole line between the box's caption and "X", level with "X": as
    // much of it as fits, the address cut at the right where it must be.
    Label11 = Label(SEListBox, "Label11", QString(), look::kGray);
    const QFontMetrics metrics(Label11->font());
    const int left = 128, right = SpeedButton10->x() - 4;
    const QRect x = SpeedButton10->geometry();
    Label11->setGeometry(left, x.center().y() + 1 - metrics.height() / 2, right - left, metrics.height());
    Label11->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label11->setText(metrics.elidedText(
        QStringLiteral("Only for information (http://gdri.smspower.org/wiki/index.php/Mega_Drive/Genesis_Sound_Engine_List)"),
        Qt::ElideRight, Label11->width()));

    ValueListEditor1 = Named(new QTableWidget(0, 2, SEListBox), "ValueListEditor1");
    ValueListEditor1->setGeometry(8, 24, 353, 161);
    ValueListEditor1->setFrameShape(QFrame::NoFrame);
    ValueListEditor1->setFont(look::SmallFonts());
    look::SetBackground(ValueListEditor1, look::kGray);
    look::SetTextColour(ValueListEditor1, look::kBlack);
    ValueListEditor1->setHorizontalHeaderLabels({QStringLiteral("Game Name"), QStringLiteral("Sound Engine")});
    QHeaderView* titleRow = ValueListEditor1->horizontalHeader();
    look::SetBackground(titleRow, look::kAzure);
    titleRow->setSectionResizeMode(QHeaderView::Fixed);
    titleRow->setHighlightSections(false);
    ValueListEditor1->verticalHeader()->hide();
    ValueListEditor1->verticalHeader()->setDefaultSectionSize(18);
    ValueListEditor1->setColumnWidth(0, 170);
    ValueListEditor1->setColumnWidth(1, 164);
    ValueListEditor1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ValueListEditor1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ValueListEditor1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ValueListEditor1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FillSoundEngineList();
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
    On(SpeedButton15, &QToolButton::clicked, &TForm1::SpeedButton15Click);
    On(CheckBox1, &QCheckBox::clicked, &TForm1::CheckBox1Click);
    auto* list = static_cast<FileList*>(ListBox1);  // built as one in CreateControls
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
    On(SpeedButton10, &QToolButton::clicked, &TForm1::SpeedButton10Click);
    // Only a choice by the user raises the change; choosing by program does not.
    On(PresetBox, &QComboBox::activated, &TForm1::PresetBoxChange);
    On(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    Timer1->start();
}
