// SPDX-License-Identifier: MIT
#include "gems_fix_panel.h"

#include "gems/scale.h"
#include "look.h"
#include "make.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>

using namespace varnoquil;
using namespace varnoquil::ui;

GemsFixPanel::GemsFixPanel(QWidget* parent) : CaptionedGroupBox(QStringLiteral("GEMS Fix"), parent)
{
    make::HiddenBox(this, "FixBox", layout::kFixBoxSize, make::WindowTextColour());
    move(make::Place(layout::kFixBoxStart));
    CreateFiles();
    CreateScales();
    CreateRun();
}

void GemsFixPanel::CreateFiles()
{
    const auto caption = [this](const char* name, const QString& text, const layout::ControlRow& row) {
        return make::Label(this, name, text, look::kWhite, make::Place(row.caption));
    };
    const auto file = [this](const char* name, const layout::ControlRow& row) {
        QLineEdit* box = make::Edit(this, name, make::Place(row.box));
        box->setReadOnly(true);
        return box;
    };
    // The "..." buttons are white like the labels: the platform's window
    // text colour would leave them black on the black box.
    const auto browse = [this](const char* name, const layout::ControlRow& row) {
        return make::Button(this, name, QStringLiteral("..."), look::kWhite, make::Place(row.beside));
    };
    Label5 = caption("Label5", QStringLiteral("In File:"), layout::kInFileRow);
    In_Edit = file("In_Edit", layout::kInFileRow);
    SpeedButton5 = browse("SpeedButton5", layout::kInFileRow);
    Label6 = caption("Label6", QStringLiteral("Out File:"), layout::kOutFileRow);
    Out_Edit = file("Out_Edit", layout::kOutFileRow);
    SpeedButton6 = browse("SpeedButton6", layout::kOutFileRow);
    Label9 = make::Label(this, "Label9", QStringLiteral("Preset:"), look::kWhite, make::Place(layout::kPresetLabel));
    PresetBox = make::DropDownList(this, "PresetBox", make::Place(layout::kPresetBox));
}

void GemsFixPanel::CreateScales()
{
    const auto scale = [this](const char* name, const layout::ControlRow& row) {
        QLineEdit* box = make::Edit(this, name, make::Place(row.box));
        box->setText(QStringLiteral("0"));
        return box;
    };
    const auto upDown = [this](const char* name, const layout::ControlRow& row) {
        auto* control = make::Named(new UpDown(this), name);
        control->setRange(kMinThousandths, kMaxThousandths);
        control->setGeometry(make::Place(row.beside));
        return control;
    };
    Label7
        = make::Label(this, "Label7", QStringLiteral("FM scale:"), look::kWhite, make::Place(layout::kFmRow.caption));
    FMBox = scale("FMBox", layout::kFmRow);
    UpDown1 = upDown("UpDown1", layout::kFmRow);
    Label8
        = make::Label(this, "Label8", QStringLiteral("PSG scale:"), look::kWhite, make::Place(layout::kPsgRow.caption));
    PSGBox = scale("PSGBox", layout::kPsgRow);
    UpDown2 = upDown("UpDown2", layout::kPsgRow);
}

void GemsFixPanel::CreateRun()
{
    CheckBox2 = make::Named(new QCheckBox(this), "CheckBox2");
    CheckBox2->setGeometry(make::Place(layout::kChecksumOption));
    CheckBox2->setChecked(true);
    CheckBox2->setCursor(Qt::PointingHandCursor);
    look::UsePlatformColours(CheckBox2); // a white box with a dark tick
    Label10 = make::Label(this, "Label10", QStringLiteral("Out file checksum fix automaticly"), look::kAzure,
                          make::Place(layout::kChecksumCaption));
    Label10->setCursor(Qt::PointingHandCursor);
    ProgressBar1 = make::Named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setGeometry(make::Place(layout::kProgressBar));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    look::UsePlatformColours(ProgressBar1);
    SpeedButton7 = make::Button(this, "SpeedButton7", QStringLiteral("Fix GEMS"), look::kLime,
                                make::Place(layout::kFixGemsButton));
    SpeedButton7->setEnabled(false); // no files chosen yet
    SpeedButton2 = make::CloseCross(this, "SpeedButton2", layout::kFixCloseAt);
}

void GemsFixPanel::ShowPath(QLineEdit* edit, const std::string& path)
{
    edit->setText(look::PathToFit(path, edit->font(), edit->width() - layout::kEditTextMargins));
    edit->setCursorPosition(0);
}

void GemsFixPanel::SetScaleMode(bool custom)
{
    FMBox->setReadOnly(!custom);
    PSGBox->setReadOnly(!custom);
    UpDown1->setEnabled(custom);
    UpDown2->setEnabled(custom);
}
