#include "Form1.h"

#include "ErrorReport.h"
#include "EventDispatch.h"
#include "EventLoop.h"
#include "QtPrinters.h"
#include "RuntimeError.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const QString kInitialAnswer = QStringLiteral(" О    Т    В    Е    Т");

} // namespace

TEST(Form1, StartsWithTheInitialAnswerAndFocusOnCalculate)
{
    Form1 form;
    ASSERT_TRUE(showAndActivate(form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velto"));
    EXPECT_EQ(form.label4()->text(), kInitialAnswer);
    EXPECT_EQ(QApplication::focusWidget(), form.command1());
    EXPECT_EQ(form.command1()->text(), QStringLiteral("&Вычислить"));
    EXPECT_EQ(form.command2()->text(), QStringLiteral("В&ыход"));
}

TEST(Form1, ControlsAreReachableByNameAndByRole)
{
    Form1 form;
    EXPECT_EQ(form.control("Command1"), form.command1());
    EXPECT_EQ(form.control("Command2"), form.command2());
    EXPECT_EQ(form.control("Label4"), form.label4());
    EXPECT_EQ(form.control("NoSuchControl"), nullptr);
    EXPECT_EQ(form.control(form::Role::Calculate), form.command1());
    EXPECT_EQ(form.control(form::Role::Exit), form.command2());
    EXPECT_EQ(form.control(form::Role::Answer), form.label4());
}

TEST(Form1, FactorialMethodReadsButNeverWritesItsArgument)
{
    const Form1 form;
    std::int16_t k = 8;
    const calc::Variant result = form.f(k);
    EXPECT_EQ(k, 8);
    EXPECT_EQ(result.kind(), calc::Variant::Kind::Long);
    EXPECT_EQ(result.toDouble(), 40320.0);
}

TEST(Form1, CalculateByMouseAndKeyboardWritesTheSameAnswer)
{
    Form1 form;
    ASSERT_TRUE(showAndActivate(form));
    QTest::mouseClick(form.command1(), Qt::LeftButton);
    const QString answer = form.label4()->text();
    EXPECT_TRUE(answer == QStringLiteral("00,01384   17") ||
                answer == QStringLiteral("00.01384   17"))
        << answer.toStdString();

    // Space on the focused button clicks it again: same text, nothing else changes.
    QTest::keyClick(form.command1(), Qt::Key_Space);
    EXPECT_EQ(form.label4()->text(), answer);
    EXPECT_EQ(form.command1()->text(), QStringLiteral("&Вычислить"));
}

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

TEST(Form1, ExitEndsTheEventLoop)
{
    Form1 form;
    form.show();
    const int status = runEventLoop([&] { QTest::mouseClick(form.command2(), Qt::LeftButton); });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(form.isVisible());
}

TEST(Form1, ClosingTheWindowEndsTheEventLoopAfterACalculation)
{
    Form1 form;
    form.show();
    const int status = runEventLoop([&] {
        QTest::mouseClick(form.command1(), Qt::LeftButton);
        form.windowHandle()->close(); // as the window manager's close does
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(form.isVisible());
}

TEST(Form1, ARuntimeErrorIsReportedOnceAndEndsTheProgram)
{
    // Starting the series at 171 makes the first factorial overflow.
    Form1 form([] { return calc::sumSeriesFrom({0.0, 1.0, 171}, calc::seriesTerm); });
    form.show();
    MessageBoxWatcher watcher;
    const int status = runEventLoop([&] { QTest::mouseClick(form.command1(), Qt::LeftButton); });
    EXPECT_EQ(status, form::kExitStatusReportedError);
    EXPECT_NE(status, 0);
    ASSERT_EQ(watcher.texts().size(), 1);
    EXPECT_TRUE(watcher.texts().front().contains(QStringLiteral("Overflow")))
        << watcher.texts().front().toStdString();
    EXPECT_EQ(form.label4()->text(), kInitialAnswer);
}

TEST(EventDispatch, NamesTheFloatingPointKind)
{
    Form1 form;
    form.show();
    MessageBoxWatcher watcher;
    bool handlerRan = false;
    const int status = runEventLoop([&] {
        dispatchEvent(&form, [&] {
            handlerRan = true;
            throw calc::RuntimeError(calc::ErrorKind::FloatingPoint);
        });
    });
    EXPECT_TRUE(handlerRan);
    EXPECT_EQ(status, form::kExitStatusReportedError);
    ASSERT_EQ(watcher.texts().size(), 1);
    EXPECT_TRUE(watcher.texts().front().contains(QStringLiteral("FloatingPoint")));
}

TEST(EventDispatch, AHandlerThatSucceedsLeavesTheLoopRunning)
{
    Form1 form;
    form.show();
    MessageBoxWatcher watcher;
    int calls = 0;
    const int status = runEventLoop([&] {
        dispatchEvent(&form, [&] { ++calls; });
        QCoreApplication::exit(42); // only the test ends this loop
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(status, 42);
    EXPECT_TRUE(watcher.texts().isEmpty());
}

TEST(Form1, ButtonsLookLikePlainButtonsInTheSystemPalette)
{
    Form1 form;
    ASSERT_TRUE(showAndActivate(form));
    const QImage focused = form.command1()->grab().toImage();
    const QImage unfocused = form.command2()->grab().toImage();

    // The same buttons in a window that keeps the default palette.
    QWidget plain;
    plain.setFont(form.font());
    QPushButton calculate(form.command1()->text(), &plain);
    QPushButton exit(form.command2()->text(), &plain);
    calculate.setGeometry(form.command1()->geometry());
    exit.setGeometry(form.command2()->geometry());
    calculate.setFocus();
    ASSERT_TRUE(showAndActivate(plain));
    EXPECT_EQ(focused, calculate.grab().toImage());
    EXPECT_EQ(unfocused, exit.grab().toImage());
}

TEST(Form1, EnterClicksTheFocusedButtonAndEscapeDoesNothing)
{
    Form1 form;
    ASSERT_TRUE(showAndActivate(form));
    QTest::keyClick(form.command1(), Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.label4()->text(), kInitialAnswer);
    QTest::keyClick(form.command1(), Qt::Key_Return);
    EXPECT_TRUE(form.label4()->text().endsWith(QStringLiteral("   17")));

    const int status =
        runEventLoop([&] { QTest::keyClick(form.command2(), Qt::Key_Enter, Qt::KeypadModifier); });
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
TEST(EventDispatch, AnyExceptionFromAHandlerIsReportedWithARussianButton)
{
    Form1 form;
    form.show();
    MessageBoxWatcher watcher;
    const int status = runEventLoop([&] { dispatchEvent(&form, [] { throw std::bad_alloc(); }); });
    EXPECT_EQ(status, form::kExitStatusReportedError);
    ASSERT_EQ(watcher.texts().size(), 1);
    EXPECT_TRUE(watcher.texts().front().contains(QStringLiteral("OutOfMemory")));
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
