// One Calculate click, from the mouse release to Label4's new caption, on the
// real window (offscreen), against a click on a button whose handler does
// nothing, in the same window system.
#include "Form1.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

void BM_ClickOnAnEmptyButton(benchmark::State &state)
{
    QWidget window;
    window.setFixedSize(409, 185);
    QPushButton button(QStringLiteral("Button"), &window);
    button.setGeometry(312, 96, 89, 33);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    window.show();
    for (auto _ : state)
        QTest::mouseClick(&button, Qt::LeftButton);
    if (clicks != static_cast<int>(state.iterations()))
        state.SkipWithError("clicks went missing");
}

// Counts the paints a widget really receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Argument 1 also paints the answer, so that the new caption is on the
// exposed window and not only in the label.
void BM_CalculateClick(benchmark::State &state)
{
    const bool repaint = state.range(0) != 0;
    Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    auto *answer = qobject_cast<QLabel *>(form.control(form::Role::Answer));
    PaintCounter counter;
    answer->installEventFilter(&counter);
    for (auto _ : state) {
        // Every click computes anew and writes the caption again.
        QTest::mouseClick(form.control(form::Role::Calculate), Qt::LeftButton);
        if (repaint)
            answer->repaint();
    }
    if (!answer->text().endsWith(QStringLiteral("   17")))
        state.SkipWithError("no answer");
    if (repaint && counter.paints < static_cast<int>(state.iterations()))
        state.SkipWithError("the answer was not painted on every click");
}

} // namespace

BENCHMARK(BM_ClickOnAnEmptyButton);
BENCHMARK(BM_CalculateClick)->ArgName("repaint")->Arg(0)->Arg(1);

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
