#pragma once

// A folder to browse: visible and hidden folders, a folder named like a ROM
// image, ROM images with right and wrong checksums, a short one, a read-only
// one and a hidden one, and other files; and the moves a user makes in it.

#include "window_test.h"

#include "rom_builder.h"

#include <QListWidget>
#include <QToolButton>

#include <sys/stat.h>

class BrowserTest : public WindowTest {
protected:
    // The entries of the folder, as the relisting shows them with the
    // filter on.
    static inline const QStringList kListed = {"..",     "empty", "games", "x.bin", ".f.bin",
                                               "a.bin",  "B.BIN", "c.Bin", "d.bin"};

    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char* name : {"empty", "games/inner", ".hidden", "x.bin"})
            MakeFolder(name);
        WriteRom("a.bin", Rom(0x1234, 0x0001));     // stored checksum wrong
        WriteRom("B.BIN", Rom(0x5678, 0x5678));     // stored checksum right
        WriteRom(".f.bin", vtest::RomBuilder(512).GameHeader().bytes);  // header only: checksum 0000
        WriteRom("c.Bin", vtest::RomBuilder(100).bytes);               // shorter than a header
        WriteRom("d.bin", Rom(0x1111, 0x2222));
        ::chmod(PathOf("d.bin").c_str(), 0444);
        MakeFile("e.txt");
        MakeFile("g.smd");
    }

    void TearDown() override
    {
        ::chmod(PathOf("d.bin").c_str(), 0644);
        WindowTest::TearDown();
    }

    std::string PathOf(const std::string& name) const { return Folder() + "/" + name; }

    // A ROM image of 0x202 bytes: a game header storing one checksum and a
    // single word after the header, which is the computed checksum.
    static vtest::a_byte Rom(std::uint16_t computed, std::uint16_t stored)
    {
        return vtest::RomBuilder(0x202).GameHeader().BigEndian(0x200, computed, 2).BigEndian(0x18E, stored, 2).bytes;
    }
    void WriteRom(const std::string& name, const vtest::a_byte& bytes) const { vtest::WriteFile(PathOf(name), bytes); }
    vtest::a_byte Bytes(const std::string& name) const { return vtest::ReadFile(PathOf(name)); }

    // Opens the window and relists, so that the list holds the relisting's
    // entries rather than the start-up listing's.
    TForm1& OpenListed()
    {
        TForm1& form = Open();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        form.CheckBox1Click();
        return form;
    }

    QListWidget* List() const { return form_->ListBox1; }
    QStringList Entries() const
    {
        QStringList entries;
        for (int i = 0; i < List()->count(); ++i)
            entries << List()->item(i)->text();
        return entries;
    }
    QString Current() const { return List()->currentItem() ? List()->currentItem()->text() : QString(); }

    void Key(Qt::Key key) const { QTest::keyClick(List(), key); }
    // Moves down (or up) with the arrow keys until the entry is current.
    void KeyTo(const QString& entry) const
    {
        const int target = static_cast<int>(Entries().indexOf(entry));
        ASSERT_GE(target, 0) << entry.toStdString();
        while (List()->currentRow() != target)
            Key(List()->currentRow() < target ? Qt::Key_Down : Qt::Key_Up);
    }
    QPoint CentreOf(const QString& entry) const
    {
        return List()->visualItemRect(List()->item(static_cast<int>(Entries().indexOf(entry)))).center();
    }
    void Click(const QString& entry, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(List()->viewport(), button, {}, CentreOf(entry));
    }
    // QTest's double click is the second press alone; a user's begins with a
    // whole click.
    void DoubleClick(const QString& entry) const
    {
        const QPoint at = CentreOf(entry);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, at);
    }
    static void Press(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    QStringList ErrorTexts() const
    {
        QStringList texts;
        for (const ShownError& error : errors_)
            texts << error.text;
        return texts;
    }

    // The enabled states of Delete, FIX and Checksum, as "DFC" with "-" for off.
    QString Buttons() const
    {
        return QString(form_->DelButton->isEnabled() ? "D" : "-") + (form_->FixButton->isEnabled() ? "F" : "-")
               + (form_->CheckSumButton->isEnabled() ? "C" : "-");
    }
};
