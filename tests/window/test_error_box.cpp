// The standard error box: errors that escape a handler reach the user with
// the error's text, a full stop added where needed, and the program goes on.

#include "window_test.h"

#include "errors.h"

#include <QPushButton>

#include <stdexcept>

namespace {

class ErrorBox : public WindowTest {};

TEST_F(ErrorBox, AnIoErrorInAHandlerShowsItsTextWithAFullStop)
{
    MakeFolder("sub");
    TForm1& form = Open();
    QTest::keyClick(form.ListBox1, Qt::Key_Down);
    ASSERT_EQ(form.ListBox1->currentItem()->text(), "sub");
    QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
    // The current folder disappears while the box is open: closing it tests
    // the selected entry, and that fails.
    ASSERT_TRUE(folder_.remove());
    QTest::mouseClick(form.SpeedButton15, Qt::LeftButton);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0].text, "File not found.");
    EXPECT_EQ(errors_[0].title, "varnoquil_window_tests");
    // The handler ended at the failure; what it had done before stays, and the program goes on.
    EXPECT_FALSE(form.AboutBox->isVisible());
    EXPECT_TRUE(form.ListBox1->isEnabled());
    QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
    EXPECT_TRUE(form.AboutBox->isVisible());
    EXPECT_EQ(errors_.size(), 1u);
}

// A button of the test's own whose handler fails with the given error.
template <typename Failure>
void ClickFailingButton(const Failure& failure)
{
    QPushButton button(QStringLiteral("fail"));
    QObject::connect(&button, &QPushButton::clicked, [&failure] { throw failure; });
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
}

TEST_F(ErrorBox, ATextEndingInAFullStopGetsNoSecondOne)
{
    ClickFailingButton(varnoquil::RequestError("The output is the input file."));
    ClickFailingButton(varnoquil::ConvertError("1,5x"));
    ClickFailingButton(std::runtime_error("out of luck"));
    ASSERT_EQ(errors_.size(), 3u);
    EXPECT_EQ(errors_[0].text, "The output is the input file.");
    EXPECT_EQ(errors_[1].text, "'1,5x' is not a valid floating point value.");
    EXPECT_EQ(errors_[2].text, "out of luck.");
}

} // namespace
