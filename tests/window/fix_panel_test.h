// SPDX-License-Identifier: MIT
#pragma once

// The buttons' states as one string, for the tests of the boxes and the
// frame, and the GEMS Fix panel's fixture: the window started in a folder
// deep enough for its paths to be shortened, with its file dialogs answered
// by the test.

#include "window_test.h"

#include "dialogs.h"
#include "fix_gems.h"
#include "scale.h"

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

class FixPanel : public WindowTest {
protected:
    void TearDown() override
    {
        dialogs::RunFileDialog = platformDialog_;
        QLocale::setDefault(QLocale::c());
        WindowTest::TearDown();
    }

    QString Deep(const QString& name) const { return FilePath(kDeep + name); }
    std::string Path(const QString& name) const { return Deep(name).toStdString(); }

    // Writes in.bin, random bytes under a game header with the scale-1.0
    // tables, selects it in the list, opens the panel with FIX and chooses
    // out.bin in the save dialog. The dialogs are answered from answers_,
    // from the root folder.
    TForm1& OpenPanel()
    {
        MakeFolder(kDeep);
        vtest::RomBuilder rom = vtest::RomBuilder(0x2000).Random(7).GameHeader();
        rom.Put(0x1400, vtest::LittleEndian(varnoquil::BuildPsgTable(1.0)));
        vtest::WriteFile(Path("in.bin"), rom.Put(0x1001, vtest::LittleEndian(varnoquil::BuildFmTable(1.0))).bytes);
        TForm1& form = Open(Deep("").chopped(1).toStdString());
        dialogs::RunFileDialog = [this](QWidget*, const dialogs::FileDialogSetup& setup) {
            asked_.push_back(setup);
            QDir::setCurrent(QDir::rootPath());
            return answers_.isEmpty() ? QString() : answers_.takeFirst();
        };
        QTest::keyClick(form.ListBox1, Qt::Key_Down);
        QTest::mouseClick(form.FixButton, Qt::LeftButton);
        answers_ << Deep("out.bin");
        QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
        return form;
    }

    // From the first preset down to the one asked for, as the keys do.
    static void ChoosePreset(TForm1& form, int index)
    {
        for (int i = -1; i < index; ++i)
            QTest::keyClick(form.FixBox->PresetBox, i < 0 ? Qt::Key_Home : Qt::Key_Down);
    }

    // Types over a box's whole text, or deletes it.
    static void Retype(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        text.isEmpty() ? QTest::keyClick(box, Qt::Key_Delete) : QTest::keyClicks(box, text);
    }

    const QString kDeep = QString("a-rather-long-folder-name/").repeated(5);
    QStringList answers_;
    std::vector<dialogs::FileDialogSetup> asked_;
    const decltype(dialogs::RunFileDialog) platformDialog_ = dialogs::RunFileDialog;
};
