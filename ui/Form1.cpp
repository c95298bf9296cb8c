#include "Form1.h"

#include "Accessibility.h"
#include "AnswerText.h"
#include "Assets.h"
#include "CaptionLabel.h"
#include "EventDispatch.h"
#include "Factorial.h"
#include "FontChoice.h"
#include "LayoutTable.h"
#include "LineControl.h"
#include "PictureLabel.h"

#include <QLocale>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace {

QRect pixelRect(const TwipsRect &twips)
{
    return {pixelsFromTwips(twips.left), pixelsFromTwips(twips.top), pixelsFromTwips(twips.width),
            pixelsFromTwips(twips.height)};
}

QLine pixelLine(const TwipsLine &twips)
{
    return {pixelsFromTwips(twips.x1), pixelsFromTwips(twips.y1), pixelsFromTwips(twips.x2),
            pixelsFromTwips(twips.y2)};
}

QWidget *createControl(const ControlSpec &row, QWidget *parent)
{
    switch (row.kind) {
    case ControlKind::Button:
        return new QPushButton(row.caption, parent);
    case ControlKind::Label: {
        auto *label = new CaptionLabel(row.caption, parent);
        label->setAlignment(row.alignment | Qt::AlignTop);
        return label;
    }
    case ControlKind::Image:
        return new PictureLabel(formulaPicture(), parent);
    case ControlKind::Line:
        return new LineControl(pixelLine(std::get<TwipsLine>(row.geometry)), parent);
    }
    return nullptr;
}

void applyLooks(const ControlSpec &row, QWidget *widget)
{
    QPalette palette = widget->palette();
    if (row.background)
        palette.setColor(QPalette::Window, *row.background);
    if (row.foreground)
        palette.setColor(QPalette::WindowText, *row.foreground);
    widget->setPalette(palette);
    if (row.font)
        widget->setFont(fontFromSpec(*row.font));
    widget->setAccessibleName(row.accessibleName);
    widget->setAccessibleDescription(row.accessibleDescription);
}

// The user's decimal separator, as the platform reports it (LC_ALL,
// LC_NUMERIC or LANG on Unix).
std::string decimalSeparator()
{
    return QLocale::system().decimalPoint().toStdString();
}

} // namespace

Form1::Form1(calc::SeriesState start, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      start_(start)
{
    installAccessibility();
    const WindowSpec &window = windowSpec();
    setObjectName(QString::fromLatin1(window.name));
    setWindowTitle(window.caption);
    setWindowIcon(programIcon());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, window.background);
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(fontFromSpec(window.font));

    // The client area stands where it is stored, and the user cannot resize it.
    const QRect client = pixelRect(window.clientArea);
    setGeometry(client);
    setFixedSize(client.size());

    buildControls();

    command1_ = findChild<QPushButton *>(QStringLiteral("Command1"));
    command2_ = findChild<QPushButton *>(QStringLiteral("Command2"));
    label4_ = findChild<QLabel *>(QStringLiteral("Label4"));
    command1_->setFocus();

    connect(command1_, &QPushButton::clicked, this,
            [this] { dispatchEvent(this, [this] { Command1_Click(); }); });
    connect(command2_, &QPushButton::clicked, this,
            [this] { dispatchEvent(this, [this] { Command2_Click(); }); });
}

void Form1::buildControls()
{
    std::vector<std::pair<int, QWidget *>> tabStops;
    for (const ControlSpec &row : controlSpecs()) {
        QWidget *widget = createControl(row, this);
        widget->setObjectName(QString::fromLatin1(row.name));
        if (const auto *rect = std::get_if<TwipsRect>(&row.geometry))
            widget->setGeometry(pixelRect(*rect));
        applyLooks(row, widget);
        // Rows run front to back: each new control goes behind the ones before.
        widget->lower();
        if (row.tabIndex && widget->focusPolicy() & Qt::TabFocus)
            tabStops.emplace_back(*row.tabIndex, widget);
    }
    std::sort(tabStops.begin(), tabStops.end());
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        setTabOrder(tabStops[i - 1].second, tabStops[i].second);
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
