#include "Form1.h"

#include "Controls.h"
#include "ErrorReport.h"
#include "EventDispatch.h"
#include "EventLoop.h"
#include "QtPrinters.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const QString kInitialAnswer = QStringLiteral(" О    Т    В    Е    Т");

} // namespace

// A title bar that offers to maximize the window anyway gets it back at its one size.
TEST(Form1, AMaximizedWindowReturnsToItsOneSize)
{
    Form1 form;
    ASSERT_TRUE(showAndActivate(form));
    const QSize size = form.size();
    form.setWindowState(Qt::WindowMaximized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.windowState() == Qt::WindowNoState; }));
    EXPECT_EQ(form.size(), size);
}

TEST(Form1, ClosingTheWindowEndsTheEventLoopAfterACalculation)
{
    Form1 form;
    form.show();
    const int status = runEventLoop([&] {
        QTest::mouseClick(button(form, form::Role::Calculate), Qt::LeftButton);
        form.windowHandle()->close(); // as the window manager's close does
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(form.isVisible());
}

TEST(Form1, ButtonsLookLikePlainButtonsInTheSystemPalette)
{
    Form1 form;
    ASSERT_TRUE(showAndActivate(form));
    const QImage focused = button(form, form::Role::Calculate)->grab().toImage();
    const QImage unfocused = button(form, form::Role::Exit)->grab().toImage();

    // The same buttons in a window that keeps the default palette.
    QWidget plain;
    plain.setFont(form.font());
    QPushButton calculate(button(form, form::Role::Calculate)->text(), &plain);
    QPushButton exit(button(form, form::Role::Exit)->text(), &plain);
    calculate.setGeometry(button(form, form::Role::Calculate)->geometry());
    exit.setGeometry(button(form, form::Role::Exit)->geometry());
    calculate.setFocus();
    ASSERT_TRUE(showAndActivate(plain));
    EXPECT_EQ(focused, calculate.grab().toImage());
    EXPECT_EQ(unfocused, exit.grab().toImage());
}

// Enter is the conformance suite's; the keypad's Enter and Escape are the
// toolkit's keys.
TEST(Form1, KeypadEnterClicksTheFocusedButtonAndEscapeDoesNothing)
{
    Form1 form;
    ASSERT_TRUE(showAndActivate(form));
    QTest::keyClick(button(form, form::Role::Calculate), Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(answerLabel(form)->text(), kInitialAnswer);
    QTest::keyClick(button(form, form::Role::Calculate), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(answerLabel(form)->text().endsWith(QStringLiteral("   17")));

    // Keys go where the focus is.
    button(form, form::Role::Exit)->setFocus(Qt::TabFocusReason);
    const int status = runEventLoop([&] {
        QTest::keyClick(button(form, form::Role::Exit), Qt::Key_Enter, Qt::KeypadModifier);
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(form.isVisible());
}

namespace {

// A control whose painting fails, as any code on the paint path might.
class FailingPainter : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        paintGuarded(this, [] { throw std::runtime_error("paint failed"); });
    }
};

} // namespace

// (Each test runs in a process of its own under CTest: a run reports once.)
TEST(EventDispatch, TheErrorBoxHasOneRussianButton)
{
    Form1 form;
    form.show();
    MessageBoxWatcher watcher;
    const int status = runEventLoop([&] { dispatchEvent(&form, [] { throw std::bad_alloc(); }); });
    EXPECT_EQ(status, form::kExitStatusReportedError);
    ASSERT_EQ(watcher.texts().size(), 1);
    EXPECT_EQ(watcher.buttonTexts().front(), QStringLiteral("ОК"));
}

TEST(EventDispatch, AFailureWhilePaintingIsReportedOnceAfterThePaint)
{
    Form1 form;
    form.show();
    FailingPainter failing(&form);
    failing.setGeometry(0, 0, 10, 10);
    MessageBoxWatcher watcher;
    const int status = runEventLoop([&] {
        failing.show();
        failing.repaint();
        failing.repaint(); // fails again: still one box
    });
    EXPECT_EQ(status, form::kExitStatusReportedError);
    ASSERT_EQ(watcher.texts().size(), 1);
    EXPECT_TRUE(watcher.texts().front().contains(QStringLiteral("Unexpected")));
}

TEST(EventDispatch, AReportQueuedForAWindowThatIsGoneOpensNoBox)
{
    MessageBoxWatcher watcher;
    {
        Form1 form;
        reportErrorLater(&form, std::make_exception_ptr(std::runtime_error("late")));
    }
    // Whatever is still queued runs now, as the next turn of the loop would.
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(watcher.texts().isEmpty()) << watcher.texts().join(u'|').toStdString();
}
