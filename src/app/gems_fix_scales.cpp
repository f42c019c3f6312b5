// SPDX-License-Identifier: MIT
// The GEMS Fix box's scale boxes: the characters they take, the up-downs'
// steps, the presets, and whether "Fix GEMS" can run.

#include "gems_fix_panel.h"

#include "gems/pitch_tables.h"
#include "gems/scale.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <QValidator>

using namespace varnoquil;

namespace {

// The user's decimal separator, for scale texts. One that is not a single
// ASCII character falls back to ".", which the user then types and sees.
char DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.';
}

QString ShortestText(int thousandths)
{
    return QString::fromStdString(ShortestDecimalText(thousandths / 1000.0, DecimalSeparator()));
}

// Keys that type no character, though X11 gives Delete the DEL control
// character as its text; Tab and Backtab move the focus.
bool TypesNoCharacter(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return true;
    default: return event->text().isEmpty();
    }
}

// Whether a scale box holding text takes one more character: digits, and
// the separator once.
bool TakesScaleKey(const QString& text, QChar key)
{
    const QChar separator = QLatin1Char(DecimalSeparator());
    const bool digit = key >= QLatin1Char('0') && key <= QLatin1Char('9');
    return digit || (key == separator && !text.contains(separator));
}

// Text that reaches a scale box without a key, pasted or dropped, is taken
// only when the box's text it makes could have been typed; otherwise the
// box refuses it and stays as it was.
class TypedScaleText : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& text, int&) const override
    {
        QString typed;
        for (const QChar key : text) {
            if (!TakesScaleKey(typed, key))
                return Invalid;
            typed += key;
        }
        return Acceptable;
    }
};

} // namespace

void GemsFixPanel::RefuseUntypableText(QLineEdit* box)
{
    box->setValidator(new TypedScaleText(box));
}

double GemsFixPanel::ScaleIn(const QLineEdit* box)
{
    return ParseDecimal(box->text().toStdString(), DecimalSeparator());
}

void GemsFixPanel::FillPresets()
{
    for (const ScalePreset& preset : ScalePresets())
        PresetBox->addItem(QString::fromLatin1(preset.name));
    PresetBox->setCurrentIndex(0);
    ApplyPreset();
}

// Fixed presets set both scales; "Custom" starts both at 0.001 and lets the
// user type or step them. Each box first gets the shortest text of its
// position, then is padded to three decimals.
void GemsFixPanel::ApplyPreset()
{
    const int index = PresetBox->currentIndex();
    const auto& presets = ScalePresets();
    if (index >= 0 && index < static_cast<int>(presets.size())) {
        const ScalePreset& preset = presets[static_cast<std::size_t>(index)];
        SetScaleMode(preset.custom);
        UpDown1->setPosition(preset.fmThousandths);
        UpDown2->setPosition(preset.psgThousandths);
    }
    // Both positions are read before either text changes: each change runs
    // BoxesChanged, which sets both positions from the boxes' texts.
    const int fm = UpDown1->position();
    const int psg = UpDown2->position();
    FMBox->setText(ShortestText(fm));
    PSGBox->setText(ShortestText(psg));
    const char separator = DecimalSeparator();
    for (QLineEdit* box : {FMBox, PSGBox})
        box->setText(QString::fromStdString(PadToThousandths(box->text().toStdString(), separator)));
}

// "Fix GEMS" needs both files and two scales above 0; the tests stop at the
// first that fails, so the scale texts are only converted once both files
// are there. Then the up-downs follow the boxes.
void GemsFixPanel::BoxesChanged()
{
    const bool ready = !In_Edit->text().isEmpty() && !Out_Edit->text().isEmpty() && IsValidScale(ScaleIn(FMBox))
        && IsValidScale(ScaleIn(PSGBox));
    SpeedButton7->setEnabled(ready);
    UpDown1->setPosition(ToThousandths(ScaleIn(FMBox)));
    UpDown2->setPosition(ToThousandths(ScaleIn(PSGBox)));
}

// Scale boxes take digits and one decimal separator; every other character
// is discarded, control characters such as Backspace included.
void GemsFixPanel::JudgeScaleKey(const QLineEdit* box, QChar& key)
{
    if (!TakesScaleKey(box->text(), key))
        key = QChar();
}

// Keys without a character (Delete, arrows) and focus moves pass untouched.
bool GemsFixPanel::FilterScaleKey(QLineEdit* box, QKeyEvent* event)
{
    if (TypesNoCharacter(event) || !scaleKeyPress)
        return false;
    const QString typed = event->text();
    if (typed.size() == 1) {
        QChar key = typed[0];
        scaleKeyPress(box, key);
        return key.isNull();
    }
    // Several characters at once (an input method): each is judged against
    // the text the ones before it left.
    for (QChar key : typed) {
        scaleKeyPress(box, key);
        if (!key.isNull() && !box->isReadOnly())
            box->insert(key);
    }
    return true;
}

bool GemsFixPanel::StepFmScale(int position)
{
    return ScaleChanging(FMBox, position);
}

bool GemsFixPanel::StepPsgScale(int position)
{
    return ScaleChanging(PSGBox, position);
}

// A step to 0 is refused; any other shows the new scale unpadded (1.999 up
// one gives 2), and the box's change sets the same position again.
bool GemsFixPanel::ScaleChanging(QLineEdit* box, int position)
{
    if (!IsValidScale(position / 1000.0))
        return false;
    box->setText(ShortestText(position));
    return true;
}
