// SPDX-License-Identifier: MIT
#pragma once

#include "about_panel.h"
#include "application.h"
#include "dialogs.h"
#include "form1.h"
#include "gems_fix_panel.h"
#include "rom_builder.h"
#include "sound_engine_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// What the standard error box was asked to show.
struct ShownError {
    QString title, text;
};

// '1' or '0' per widget, enabled or not, so that a row of states is one string.
inline std::string Enabled(std::initializer_list<QWidget*> widgets)
{
    std::string states;
    for (const QWidget* widget : widgets)
        states += widget->isEnabled() ? '1' : '0';
    return states;
}

// Builds the real window in a temporary folder of the test's own making,
// with the standard error box replaced by a recorder. The file dialogs and
// the locale, which a test may replace, are the platform's again after it.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { RecordErrors(); }

    // The standard error box records what it is asked to show in errors_.
    void RecordErrors()
    {
        TApplication::ErrorBox = [this](const auto& title, const auto& text) { errors_.push_back({title, text}); };
    }

    void TearDown() override
    {
        form_.reset();
        TApplication::ErrorBox = platformErrorBox_;
        dialogs::RunFileDialog = platformDialog_;
        QLocale::setDefault(QLocale::c());
        QDir::setCurrent(startedIn_);
    }

    std::string Folder() const { return folder_.root; }
    std::string PathOf(const std::string& name) const { return folder_.Path(name); }
    QString FilePath(const QString& name) const { return QString::fromStdString(PathOf(name.toStdString())); }

    // Writes a file into the folder: "ROM" unless other bytes are given.
    void MakeFile(const std::string& name, const vtest::a_byte& bytes = {'R', 'O', 'M'}) const
    {
        vtest::WriteFile(PathOf(name), bytes);
    }

    void MakeFolder(const QString& name) const { ASSERT_TRUE(QDir(QString::fromStdString(Folder())).mkpath(name)); }

    // Starts the window as the program does for its argument, a folder (the test's own unless another is given)
    // or a file, and lets its first events run.
    TForm1& Open(const std::string& argument = {})
    {
        form_ = TForm1::StartWith(argument.empty() ? Folder() : argument);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        QTest::qWait(50);
        return *form_;
    }

    // The first letter of the box shown over the list ("-" for none), then the focused control's name.
    std::string Shown() const
    {
        std::string box = "-";
        for (QWidget* each : std::initializer_list<QWidget*>{form_->AboutBox, form_->FixBox, form_->SEListBox})
            box = each->isVisible() ? each->objectName().left(1).toStdString() : box;
        const QWidget* focus = QApplication::focusWidget();
        return box + ' ' + (focus ? focus->objectName().toStdString() : "-");
    }
    // The window's commands as Enabled() gives them: SE list, the list, Delete, FIX, Checksum, "<-", "/", About,
    // the filter and the drives; then Shown().
    std::string Commands() const
    {
        return Enabled({form_->SEListButton, form_->ListBox1, form_->DelButton, form_->FixButton, form_->CheckSumButton,
                        form_->SpeedButton4, form_->SpeedButton8, form_->SpeedButton13, form_->CheckBox1,
                        form_->DiskBox})
            + ' ' + Shown();
    }

    // The file list, its entries' texts, and the row of one of them.
    QListWidget* List() const { return form_->ListBox1; }
    QStringList Entries() const
    {
        QStringList entries;
        for (int i = 0; i < List()->count(); ++i)
            entries << List()->item(i)->text();
        return entries;
    }
    QRect RowOf(const QString& entry) const
    {
        return List()->visualItemRect(List()->item(int(Entries().indexOf(entry))));
    }
    void Click(const QString& entry, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(List()->viewport(), button, {}, RowOf(entry).center());
    }
    // QTest's double click is the second press alone; a user's begins with a click.
    void DoubleClick(const QString& entry) const
    {
        Click(entry);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowOf(entry).center());
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, RowOf(entry).center());
    }

    vtest::TempDir folder_;
    std::unique_ptr<TForm1> form_;
    std::vector<ShownError> errors_;
    std::function<void(const QString&, const QString&)> platformErrorBox_ = TApplication::ErrorBox;
    const decltype(dialogs::RunFileDialog) platformDialog_ = dialogs::RunFileDialog;

private:
    QString startedIn_ = QDir::currentPath();
};
