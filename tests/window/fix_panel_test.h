// SPDX-License-Identifier: MIT
#pragma once

// The buttons' states as one string, for every window test of the boxes and
// the frame, and the GEMS Fix panel's tests: the window started in a folder
// deep enough for its paths to be shortened, with its file dialogs answered
// by the test.

#include "window_test.h"

#include "controls.h"
#include "dialogs.h"
#include "fix_gems.h"
#include "scale.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

#include <tuple>

// '1' or '0' per widget, enabled or not, so that a row of states is one string.
inline std::string Enabled(std::initializer_list<QWidget*> widgets)
{
    std::string states;
    for (const QWidget* widget : widgets)
        states += widget->isEnabled() ? '1' : '0';
    return states;
}

// Random bytes under a game header with the scale-1.0 PSG table, and the FM
// table if asked for.
inline vtest::a_byte Rom(bool fm)
{
    vtest::RomBuilder rom = vtest::RomBuilder(0x2000).Random(7).GameHeader();
    rom.Put(0x1400, vtest::LittleEndian(varnoquil::BuildPsgTable(1.0)));
    return fm ? rom.Put(0x1001, vtest::LittleEndian(varnoquil::BuildFmTable(1.0))).bytes : rom.bytes;
}

// The dialogs are answered from answers_, from the root folder.
class FixPanel : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        platformDialog_ = dialogs::RunFileDialog;
        dialogs::RunFileDialog = [this](QWidget*, const dialogs::FileDialogSetup& setup) {
            asked_.push_back(setup);
            QDir::setCurrent(QDir::rootPath());
            return answers_.isEmpty() ? QString() : answers_.takeFirst();
        };
        MakeFolder(kDeep);
    }
    void TearDown() override
    {
        dialogs::RunFileDialog = platformDialog_;
        QLocale::setDefault(QLocale::c());
        WindowTest::TearDown();
    }

    QString Deep(const QString& name) const { return FilePath(kDeep + name); }
    std::string Path(const QString& name) const { return Deep(name).toStdString(); }

    // Writes in.bin, selects it in the list and opens the panel with FIX;
    // chooses the output in the save dialog when one is given.
    TForm1& OpenPanel(const QString& output = {}, bool fm = true)
    {
        vtest::WriteFile(Path("in.bin"), Rom(fm));
        TForm1& form = Open(Deep("").chopped(1).toStdString());
        QTest::keyClick(form.ListBox1, Qt::Key_Down);
        QTest::mouseClick(form.FixButton, Qt::LeftButton);
        if (!output.isEmpty()) {
            answers_ << Deep(output);
            QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
        }
        return form;
    }

    static void ChoosePreset(TForm1& form, int index)
    {
        QTest::keyClick(form.FixBox->PresetBox, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(form.FixBox->PresetBox, Qt::Key_Down);
    }

    // Selects a box's text and types over it, or deletes it.
    static void Retype(QLineEdit* box, const QString& text)
    {
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }

    const QString kDeep = QString("a-rather-long-folder-name/").repeated(5);
    QStringList answers_;
    std::vector<dialogs::FileDialogSetup> asked_;
    std::function<QString(QWidget*, const dialogs::FileDialogSetup&)> platformDialog_;
};
