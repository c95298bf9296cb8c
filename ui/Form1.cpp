#include "Form1.h"

#include "AnswerText.h"
#include "EventDispatch.h"
#include "Factorial.h"
#include "LayoutTable.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>

namespace {

QRect pixelRect(const TwipsRect &twips)
{
    return {pixelsFromTwips(twips.left), pixelsFromTwips(twips.top), pixelsFromTwips(twips.width),
            pixelsFromTwips(twips.height)};
}

QWidget *createControl(const ControlSpec &spec, QWidget *parent)
{
    QWidget *widget = nullptr;
    switch (spec.kind) {
    case ControlKind::Button:
        widget = new QPushButton(spec.caption, parent);
        break;
    case ControlKind::Label: {
        auto *label = new QLabel(spec.caption, parent);
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
    }
    }
    widget->setObjectName(QString::fromLatin1(spec.name));
    widget->setGeometry(pixelRect(spec.geometry));
    return widget;
}

// The user's decimal separator, as the platform reports it (LC_ALL,
// LC_NUMERIC or LANG on Unix).
std::string decimalSeparator()
{
    return QLocale::system().decimalPoint().toStdString();
}

} // namespace

Form1::Form1(calc::SeriesState start, QWidget *parent) : QWidget(parent), start_(start)
{
    const WindowSpec &window = windowSpec();
    setObjectName(QString::fromLatin1(window.name));
    setWindowTitle(window.caption);
    setFixedSize(pixelRect(window.clientArea).size());

    for (const ControlSpec &spec : controlSpecs())
        createControl(spec, this);

    command1_ = findChild<QPushButton *>(QStringLiteral("Command1"));
    command2_ = findChild<QPushButton *>(QStringLiteral("Command2"));
    label4_ = findChild<QLabel *>(QStringLiteral("Label4"));

    setTabOrder(command1_, command2_);
    command1_->setFocus();

    connect(command1_, &QPushButton::clicked, this,
            [this] { dispatchEvent(this, [this] { Command1_Click(); }); });
    connect(command2_, &QPushButton::clicked, this,
            [this] { dispatchEvent(this, [this] { Command2_Click(); }); });
}

calc::Variant Form1::f(const std::int16_t &k) const
{
    return calc::f(k);
}

QWidget *Form1::control(const char *name) const
{
    return findChild<QWidget *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void Form1::Command1_Click()
{
    const calc::SeriesSum sum = calc::sumSeriesFrom(start_, calc::seriesTerm);
    label4_->setText(
        QString::fromStdString(calc::makeAnswerText(sum.s, sum.k, decimalSeparator())));
}

void Form1::Command2_Click()
{
    close();
}
