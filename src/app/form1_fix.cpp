// The GEMS Fix panel: its input and output files, the scale presets and
// boxes, and the Fix GEMS command.

#include "form1.h"

#include "controls.h"
#include "scale.h"
#include "ui_logic.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

using namespace varnoquil;

namespace {

// The user's decimal separator, for scale texts.
char DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.';
}

// Shows a path in a file box, shortened from the left until it fits the
// box's text area; the path itself is kept whole elsewhere.
void ShowPath(QLineEdit* edit, const std::string& path)
{
    const QFontMetrics metrics(edit->font());
    const auto width = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    // The frame and the edit's inner margins take 3 pixels on each side.
    edit->setText(QString::fromStdString(ui::ShortenPath(path, width, edit->width() - 8)));
    edit->setCursorPosition(0);
}

} // namespace

// Opens the panel for the ROM image selected in the list. The output box is
// emptied, so "Fix GEMS" waits for an output file to be chosen again.
void TForm1::FixButtonClick()
{
    InFile = SelectedFile;
    Out_Edit->clear();
    ShowPath(In_Edit, InFile);
    SpeedButton13->setEnabled(false);
    DelButton->setEnabled(false);
    CheckSumButton->setEnabled(false);
    SEListButton->setEnabled(false);
    FixBox->show();
}

void TForm1::PresetBoxChange()
{
    const int index = PresetBox->currentIndex();
    const auto& presets = ScalePresets();
    if (index >= 0 && index < static_cast<int>(presets.size())) {
        const ScalePreset& preset = presets[static_cast<std::size_t>(index)];
        SetScaleMode(preset.custom);
        UpDown1->setPosition(preset.fmThousandths);
        UpDown2->setPosition(preset.psgThousandths);
    }
    const char separator = DecimalSeparator();
    FMBox->setText(QString::fromStdString(ScaleText(UpDown1->position(), separator)));
    PSGBox->setText(QString::fromStdString(ScaleText(UpDown2->position(), separator)));
}

// Fixed presets show their scales read-only; the custom one lets the user
// type or step them.
void TForm1::SetScaleMode(bool custom)
{
    FMBox->setReadOnly(!custom);
    PSGBox->setReadOnly(!custom);
    UpDown1->setEnabled(custom);
    UpDown2->setEnabled(custom);
}
