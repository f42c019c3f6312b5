// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>

#include <string>

class QScrollBar;
class QWidget;
class QToolButton;

// The window's colours, fonts and the small styling steps every control
// shares. The colours are the window's own scheme: bright texts on black.
namespace look {

inline const QColor kBlack{0, 0, 0};
inline const QColor kAzure{0, 128, 255};
inline const QColor kDeepBlue{0, 64, 128};
inline const QColor kOrange{255, 128, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kMaroon{128, 0, 0};
inline const QColor kLime{0, 255, 0};
inline const QColor kGreen{0, 128, 0};
inline const QColor kYellow{255, 255, 0};
inline const QColor kAqua{0, 255, 255};
inline const QColor kBlue{0, 0, 255};
inline const QColor kGray{128, 128, 128};
inline const QColor kSilver{192, 192, 192};
inline const QColor kLightGrey{200, 200, 200};
inline const QColor kWhite{255, 255, 255};
// Texts of disabled controls: dim, so that they read as off on black.
inline const QColor kDisabledText{80, 80, 80};
// The outer line of the sizing frame, so that the window's edge shows on a
// dark desktop.
inline const QColor kFrameLine{80, 80, 80};

// The interface font: "Small Fonts", bold, with the given character height
// in pixels. Where the face is missing a legible sans-serif stands in.
QFont SmallFonts(int pixelHeight = 9);
// The window's own font, which no visible control uses.
QFont SystemFont();
// Registers the stand-in faces; call once before the first window is built.
void InstallFontSubstitutes();

// Sets the colour of a control's text in every state but disabled.
void SetTextColour(QWidget* widget, const QColor& colour);
// Makes a control opaque in the given colour.
void SetBackground(QWidget* widget, const QColor& colour);

// The text a label shows for bytes of the program's texts and ROM headers:
// each byte as the Cyrillic code page (1251) character it stands for, CR LF
// as a line break.
QString LabelText(const std::string& bytes);

// A path shortened from the left ("/.../roms/game.bin") until it is no wider
// than maxWidth pixels in the font.
QString PathToFit(const std::string& path, const QFont& font, int maxWidth);

// Gives a control the platform's own colours instead of its parent's.
void UsePlatformColours(QWidget* widget);

// A scroll bar of the given width without arrows: the handle's colour on
// the groove's.
void MakeThinScrollBar(QScrollBar* bar, int width, const QColor& groove, const QColor& handle);

// A flat button: text only, no focus, hand cursor.
QToolButton* FlatButton(QWidget* parent, const char* name, const QString& caption, const QColor& colour);

} // namespace look
