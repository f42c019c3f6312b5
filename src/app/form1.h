// SPDX-License-Identifier: MIT
#pragma once

#include "application.h"
#include "rom/rom.h"
#include "ui/ui_logic.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPainter;
class QScrollArea;
class QTimer;
class QToolButton;
class AboutPanel;
class GemsFixPanel;
class OverpaintedLabel;
class SoundEnginePanel;

// The program's one window: a borderless, slightly transparent black window
// with a title label to drag it by, a toolbar, the file list, the
// information panel and the path bar, and three group boxes that lie hidden
// over the file list, each a class of its own that builds its controls. The
// controls are public, as the window's parts, under the names their
// handlers carry; the handlers of every part are the window's, and the
// GEMS Fix box's hand their work on to the box.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // The window starts in startFolder: by default the program's own folder,
    // or the home folder for an installed program.
    explicit TForm1(const std::string& startFolder = DefaultStartFolder());

    // The folder that holds the program's executable file; empty when the
    // platform cannot tell.
    static std::string ProgramFolder();
    static std::string DefaultStartFolder();
    // Creates and shows the window for the program's argument, a folder to
    // start in or a file to select (form1_start.cpp). One that cannot be
    // opened leaves the window in the default folder, and its error reaches
    // the standard error box once the window is up.
    static std::unique_ptr<TForm1> StartWith(const std::optional<std::string>& argument);
    // Selects the named file in the list, as a click on it would, turning the
    // "show only *.bin" filter off when it hides the file (form1_start.cpp).
    void SelectStartFile(const std::string& name);
    // Opens a file or folder dropped on the window as the program's argument
    // opens it: a folder is entered, a file's folder entered and the file
    // selected (form1_start.cpp).
    void FormDragDrop(const std::string& path);

    // --- controls on the window ---
    QLabel* Label1;
    QFrame* Panel3;
    QListWidget* ListBox1;
    QFrame* Panel1;
    QFrame* Panel2;
    AboutPanel* AboutBox;
    GemsFixPanel* FixBox;
    SoundEnginePanel* SEListBox;
    // toolbar
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton8;
    QToolButton* FixButton;
    QToolButton* CheckSumButton;
    QToolButton* DelButton;
    QToolButton* SEListButton;
    QToolButton* SpeedButton13;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton1;
    // information panel
    OverpaintedLabel* Label2;
    QScrollArea* ScrollBox1; // holds Label3, and scrolls it when its text does not fit
    QLabel* Label3;
    QCheckBox* CheckBox1;
    // path bar
    QLabel* Label4;
    QComboBox* DiskBox;
    QTimer* Timer1;

    // --- state shared between handlers ---
    // The full path of the ROM image whose information Label3 shows.
    std::string SelectedFile;
    bool Dragging = false;
    int DragX = 0;
    int DragY = 0;
    int WavePhase = 0;

    // The header of SelectedFile with its computed checksum.
    varnoquil::iSMD_ HeaderInfo;

    // --- handlers ---
    // These names are part of the window's design, one for each event of a
    // control that the window handles: keep them as they are, do not rename
    // them. The GEMS Fix box's handlers hand the event on to the box.
    void FormCreate(); // the window, once its controls are built
    void FormShow(); // the window, when it is shown
    void FormResize(); // the window, when its size changes
    void Label1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y); // the title: drag
    void Label1MouseMove(Qt::KeyboardModifiers shift, int X, int Y); // the title: drag
    void Label1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y); // the title: drag
    void SpeedButton1Click(); // the toolbar's "X" (close)
    void SpeedButton3Click(); // the toolbar's "_" (minimize)
    void SpeedButton13Click(); // the toolbar's "?" (the About box)
    void SpeedButton15Click(); // the About box's "X"
    void Timer1Timer(); // the heading wave's timer

    // sound engine list (form1_selist.cpp)
    void SEListButtonClick(); // the "SE List" button
    void SpeedButton10Click(); // the sound engine list's "X"

    // GEMS Fix box (form1_fix.cpp)
    void FixButtonClick(); // the "FIX" button, also Enter or a double click on a ROM image
    void SpeedButton2Click(); // the GEMS Fix box's "X"
    void SpeedButton5Click(); // the "..." of "In File:"
    void SpeedButton6Click(); // the "..." of "Out File:"
    void SpeedButton7Click(); // the "Fix GEMS" button
    // the caption of the checksum option, "Out file checksum fix automaticly"
    void Label10MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
    void In_EditChange(); // the texts of the file boxes and the FM and PSG scale boxes
    // the FM and PSG scale boxes, each typed character: a null Key discards it
    void FMBoxKeyPress(QLineEdit* Sender, QChar& Key);
    bool UpDown1ChangingEx(int NewValue); // the FM scale's up-down: whether it may move to NewValue
    bool UpDown2ChangingEx(int NewValue); // the PSG scale's up-down: whether it may move to NewValue
    void PresetBoxChange(); // the preset box, a preset chosen by the user

    // file browser (form1_browser.cpp, form1_info.cpp)
    void CheckBox1Click(); // "show only *.bin"
    void ListBox1KeyDown(int key, Qt::KeyboardModifiers shift); // the file list
    void ListBox1KeyUp(int key, Qt::KeyboardModifiers shift); // the file list
    void ListBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y); // the file list
    void ListBox1DblClick(); // the file list
    void ListBox1DrawItem(QPainter& canvas, int index, const QRect& rect, int state); // the file list's entries
    void SpeedButton4Click(); // the "<-" button
    void SpeedButton8Click(); // the "/" button
    void DelButtonClick(); // the "Delete" button
    void DiskBoxChange(); // the drive box
    void CheckSumButtonClick(); // the "Checksum" button

    // --- operations shared by the handlers ---
    // Shows the header of the selected entry in the information panel.
    void RefreshInformation();
    void UpdatePathLabel();
    void ListFolder(bool startUp);
    void UpdateEntryButtons();
    // The name of the selected entry as the folder gave it (bytes, which
    // need not be UTF-8); empty when no entry is selected.
    std::string SelectedEntryName() const;
    static std::string EntryName(const QListWidgetItem* item);
    // The entry whose raw name is the name given; none when it is not listed.
    QListWidgetItem* EntryItemNamed(const std::string& name) const;
    // Forgets the selected ROM image, and with it the commands that act on it.
    void ForgetSelectedFile();
    // Makes the folder current; one that cannot be entered leaves the current folder.
    void EnterFolderIfPossible(const std::string& folder);
    // Raises "The folder no longer exists" after listing the nearest folder
    // that does, when the shown folder was removed from outside.
    void RequireShownFolder();

protected:
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent* event) override;
    // Closing cancels a Fix GEMS run, which leaves no output behind.
    void closeEvent(QCloseEvent* event) override;
    // The frame's line, and the sizing frame's cursors and resizing.
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Files dragged from a file manager; the first local one of a drop counts.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Building the controls (form1_build.cpp).
    void CreateControls();
    void CreateToolbar();
    void CreateInfoPanel();
    void CreatePathBar();
    void ConnectHandlers();
    void ConnectFixPanel();
    void SetTabOrder();
    // Connects a signal to a handler, which Qt then calls through the guard.
    template <typename Sender, typename Signal>
    void On(Sender* sender, Signal signal, void (TForm1::*handler)())
    {
        connect(sender, signal, this,
                [this, handler] { TApplication::Guard([this, handler] { (this->*handler)(); }); });
    }

    // Frame and layout (form1.cpp).
    void DockControls();
    varnoquil::ui::DockedSizes DockedSizesNow() const;
    void PlaceToolbarAndPanel(const varnoquil::ui::ResizeLayout& layout);
    void MoveSnapped(int left, int top);
    bool RouteTitleMouse(QEvent* event);
    void PaintWave(QPainter& painter) const;

    // Start-up steps (form1_handlers.cpp; the listing in form1_browser.cpp).
    void StartupListing();
    void CreateCaptionOverlays();
    void FillDiskBox();

    std::string startFolder_;
    QWidget* client_; // the client area inside the sizing frame
};
