// The information panel, the Checksum command and the colours of the list.

#include "browser_fixture.h"

#include "errors.h"
#include "file_list.h"
#include "look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>

namespace {

class Information : public BrowserTest {};

TEST_F(Information, ShowsTheHeaderBytesAsCyrillicTextLineByLine)
{
    WriteRom("r.bin", vtest::RomBuilder(Rom(0x1234, 0x0001))
                          .Put(0x120, vtest::Pad("\xD1\xCE\xCD\xC8\xCA", 48))
                          .Put(0x1C8, vtest::Pad("\xA9 2013 \xB9 1 <b>x</b>", 40))
                          .bytes);
    TForm1& form = OpenListed();
    KeyTo("r.bin");
    const QStringList expected = {
        "platform: SEGA MEGA DRIVE ",
        "copyright: (C)SEGA 1991.APR",
        "D-name: СОНИК" + QString(43, ' '),
        "O-name: SONIC THE HEDGEHOG" + QString(30, ' '),
        "type: Game",
        "version:  00001009-0",
        "country: JUE" + QString(13, ' '),
        "ROM size: 1048575",
        "hdr CRC=0001",
        "file CRC=1234",
        "supported I/O devices:",
        "> 3-button joypad",
        "© 2013 № 1 <b>x</b>" + QString(21, ' '),
    };
    EXPECT_EQ(form.Label3->text().split('\n'), expected);
    EXPECT_EQ(form.Label3->textFormat(), Qt::PlainText);  // the memo's markup shows as it is
}

TEST_F(Information, ChecksumWritesTheComputedSumIntoTheTwoHeaderBytesOnly)
{
    struct Case {
        std::uint16_t computed;
        std::uint16_t stored;
        std::uint8_t high, low;
        const char* shown;
    };
    for (const Case& c : {Case{0x1234, 0x0001, 0x12, 0x34, "hdr CRC=1234\nfile CRC=1234"},
                          Case{0x00FF, 0xFF00, 0x00, 0xFF, "hdr CRC=00FF\nfile CRC=00FF"}}) {
        WriteRom("r.bin", Rom(c.computed, c.stored));
        TForm1& form = OpenListed();
        KeyTo("r.bin");
        errors_.clear();  // from the unreadable entries on the way
        ASSERT_TRUE(form.CheckSumButton->isEnabled());
        auto expected = Bytes("r.bin");
        expected[0x18E] = c.high, expected[0x18F] = c.low;

        Press(form.CheckSumButton);
        EXPECT_EQ(Bytes("r.bin"), expected);
        EXPECT_TRUE(form.Label3->text().contains(c.shown)) << form.Label3->text().toStdString();
        EXPECT_EQ(Buttons(), "DF-");
        // Shown again later, the file's checksums agree.
        EXPECT_TRUE(errors_.empty());
        Key(Qt::Key_Home);
        KeyTo("r.bin");
        EXPECT_FALSE(form.CheckSumButton->isEnabled());
    }
}

TEST_F(Information, ChecksumWritesNothingWhereItHasNoFileOrNoSum)
{
    struct Case {
        const char* situation;
        std::function<void(TForm1&)> after;  // run once a.bin is selected with Checksum on
        const char* file;                    // the file that must stay as it was
        QString error;
    };
    const std::vector<Case> cases = {
        {"moved to an entry that is not a ROM image", [this](TForm1&) { Key(Qt::Key_Home); }, "a.bin",
         "File not found."},
        {"the file made read-only meanwhile", [this](TForm1&) { ::chmod(PathOf("a.bin").c_str(), 0444); }, "a.bin",
         "File access denied."},
        // Checksum goes off with the failed read; even a direct call writes
        // nothing into the file whose header could not be read.
        {"moved to a file whose header cannot be read",
         [this](TForm1& form) {
             KeyTo("c.Bin");
             EXPECT_FALSE(form.CheckSumButton->isEnabled());
             Press(form.CheckSumButton);
         },
         "c.Bin", "The header of " + QString::fromStdString(PathOf("c.Bin")) + " could not be read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        ::chmod(PathOf("a.bin").c_str(), 0644);
        TForm1& form = OpenListed();
        KeyTo("a.bin");
        ASSERT_TRUE(form.CheckSumButton->isEnabled());
        const auto before = Bytes(c.file);
        c.after(form);
        const QString shown = form.Label3->text();
        errors_.clear();
        if (form.CheckSumButton->isEnabled()) {
            Press(form.CheckSumButton);
        } else {
            // As if the button were clicked: the error reaches the error box.
            try {
                form.CheckSumButtonClick();
            } catch (const varnoquil::Error& error) {
                TApplication::ShowError(error.what());
            }
        }
        EXPECT_EQ(ErrorTexts(), QStringList{c.error});
        EXPECT_EQ(Bytes(c.file), before);
        EXPECT_EQ(form.Label3->text(), shown);  // no refresh after a failure
    }

    // A file deleted since it was selected is not made again.
    TForm1& form = OpenListed();
    KeyTo("a.bin");
    errors_.clear();
    ASSERT_TRUE(QFile::remove(folder_.filePath("a.bin")));
    Press(form.CheckSumButton);
    EXPECT_EQ(ErrorTexts(), QStringList{"File not found."});
    EXPECT_FALSE(QFile::exists(folder_.filePath("a.bin")));
}

// The pixels of the list's entries as the list paints them.
class Drawing : public BrowserTest {
protected:
    QImage image;

    QRect RowRect(const QString& entry) const
    {
        return List()->visualItemRect(List()->item(static_cast<int>(Entries().indexOf(entry))));
    }
    // The text colours found among the pixels of a row.
    QList<QColor> TextColours(const QString& entry) const
    {
        QList<QColor> found;
        const QRect rect = RowRect(entry);
        for (const QColor& colour : {look::kAzure, look::kOrange, QColor(200, 200, 200)})
            for (int y = rect.top() + 1; y < rect.bottom(); ++y)
                for (int x = rect.left() + 1; x < rect.right() && !found.contains(colour); ++x)
                    if (image.pixelColor(x, y) == colour)
                        found << colour;
        return found;
    }
    // The leftmost column that differs from the row's stripe, inside the row.
    int FirstInkColumn(const QString& entry, const QColor& stripe) const
    {
        const QRect rect = RowRect(entry);
        for (int x = rect.left() + 1; x < rect.right(); ++x)
            for (int y = rect.top() + 1; y < rect.bottom(); ++y)
                if (image.pixelColor(x, y) != stripe)
                    return x;
        return -1;
    }
};

TEST_F(Drawing, EntriesShowTheirKindByColourOnStripes)
{
    TForm1& form = OpenListed();
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    KeyTo("a.bin");
    ASSERT_TRUE(List()->hasFocus());
    ASSERT_TRUE(QFile::remove(folder_.filePath("e.txt")));  // vanished since the listing
    image = List()->viewport()->grab().toImage();

    const QColor azure = look::kAzure, orange = look::kOrange, grey(200, 200, 200);
    const std::vector<std::pair<QString, QColor>> rows = {
        {"..", orange},    {"empty", orange}, {"x.bin", azure}, {".f.bin", azure}, {"a.bin", azure},
        {"B.BIN", azure},  {"d.bin", azure},  {"e.txt", orange}, {"g.smd", grey},
    };
    for (const auto& [entry, colour] : rows) {
        SCOPED_TRACE(entry.toStdString());
        const int row = static_cast<int>(Entries().indexOf(entry));
        const QColor stripe = row % 2 ? QColor(4, 4, 4) : QColor(0, 0, 0);
        const QRect rect = RowRect(entry);
        EXPECT_EQ(rect.height(), 16);
        // The selected entry is drawn like every other one.
        EXPECT_EQ(image.pixelColor(rect.right() - 10, rect.center().y()), stripe);
        EXPECT_EQ(TextColours(entry), QList<QColor>{colour});
        // The text starts at the left edge: no icon, no indent.
        EXPECT_LE(FirstInkColumn(entry, stripe), 2);
    }

    // The dotted focus mark inverts every other pixel along the current
    // entry's edge, and only there.
    const QRect current = RowRect("a.bin");
    ASSERT_EQ(Entries().indexOf("a.bin") % 2, 1);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(image.pixelColor(x, current.top()), x % 2 ? QColor(4, 4, 4) : QColor(251, 251, 251)) << x;
    EXPECT_EQ(image.pixelColor(0, current.bottom() - 1), QColor(251, 251, 251));
    const QRect previous = RowRect(".f.bin");
    EXPECT_EQ(image.pixelColor(0, previous.top()), QColor(0, 0, 0));
}

TEST_F(Drawing, DriveBoxItemsShowTheirTextTwoPixelsFromTheLeft)
{
    TForm1& form = OpenListed();
    auto* delegate = form.DiskBox->itemDelegate();
    ASSERT_NE(dynamic_cast<DriveItemDelegate*>(delegate), nullptr);
    for (const bool selected : {false, true}) {
        QStyleOptionViewItem option;
        option.initFrom(form.DiskBox->view());
        option.rect = QRect(0, 0, 120, 16);
        option.font = form.DiskBox->font();
        option.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
        image = QImage(120, 16, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        delegate->paint(&painter, option, form.DiskBox->model()->index(0, 0));
        painter.end();

        const QColor fill = option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
        EXPECT_EQ(image.pixelColor(119, 15), fill);
        int first = -1;
        for (int x = 0; x < 120 && first < 0; ++x)
            for (int y = 0; y < 16; ++y)
                if (image.pixelColor(x, y) != fill)
                    first = x;
        EXPECT_GE(first, 2);
        EXPECT_LE(first, 4);
    }
}

} // namespace
