#include "Form1.h"

#include "Accessibility.h"
#include "AccessibleText.h"
#include "AnswerText.h"
#include "Assets.h"
#include "CaptionLabel.h"
#include "CommandButton.h"
#include "Contrast.h"
#include "DecimalSeparator.h"
#include "EventDispatch.h"
#include "Factorial.h"
#include "FontChoice.h"
#include "LayoutTable.h"
#include "LineControl.h"
#include "PictureLabel.h"

#include <QAccessible>
#include <utility>
#include <vector>

namespace {

using form::pixelsFromTwips;

QRect pixelRect(const form::TwipsRect &twips)
{
    const form::PixelRect pixels = pixelsFromTwips(twips);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

QLine pixelLine(const form::TwipsLine &twips)
{
    return {pixelsFromTwips(twips.x1), pixelsFromTwips(twips.y1), pixelsFromTwips(twips.x2),
            pixelsFromTwips(twips.y2)};
}

QColor qColor(form::Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

form::Rgb rgb(const QColor &colour)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

QString qText(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

Qt::Alignment qAlignment(form::Alignment alignment)
{
    switch (alignment) {
    case form::Alignment::Left:
        break;
    case form::Alignment::Centre:
        return Qt::AlignHCenter;
    case form::Alignment::Right:
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

QWidget *createControl(const form::ControlSpec &row, QWidget *parent)
{
    switch (row.kind) {
    case form::ControlKind::Button:
        return new CommandButton(qText(row.caption), parent);
    case form::ControlKind::Label: {
        auto *label = new CaptionLabel(qText(row.caption), parent);
        label->setAlignment(qAlignment(row.alignment) | Qt::AlignTop);
        return label;
    }
    case form::ControlKind::Image:
        return new PictureLabel(formulaPicture(), parent);
    case form::ControlKind::Line:
        return new LineControl(pixelLine(std::get<form::TwipsLine>(row.geometry)), parent);
    }
    return nullptr;
}

void applyLooks(const form::ControlSpec &row, QWidget *widget)
{
    // Buttons keep the system's colours, not the blue the window gives its
    // children: every role set explicitly, so none is inherited.
    QPalette palette = widget->palette();
    if (row.kind == form::ControlKind::Button) {
        palette = QApplication::palette(widget);
        palette.setResolveMask(~QPalette::ResolveMask(0));
    }
    if (row.background)
        palette.setColor(QPalette::Window, qColor(*row.background));
    if (row.foreground) {
        palette.setColor(QPalette::WindowText, qColor(*row.foreground));
    } else if (row.background && row.kind == form::ControlKind::Label) {
        // The band's colour is fixed, the scheme's text colour is not: a dark
        // scheme's light text would vanish on yellow.
        const QColor scheme = palette.color(QPalette::WindowText);
        palette.setColor(QPalette::WindowText,
                         qColor(form::legibleInk(rgb(scheme), *row.background)));
    }
    widget->setPalette(palette);
    if (row.font)
        widget->setFont(fontFromSpec(*row.font));
    if (!row.accessibleName.empty())
        widget->setAccessibleName(qText(form::accessibleName(row, row.caption)));
    widget->setAccessibleDescription(qText(form::accessibleDescription(row)));
}

} // namespace

Form1::Form1(calc::SeriesSummation sumSeries, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      sumSeries_(std::move(sumSeries))
{
    installAccessibility();
    const form::WindowSpec &window = form::windowSpec();
    setObjectName(QString::fromLatin1(window.name));
    setWindowTitle(qText(window.caption));
    setWindowIcon(programIcon());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, qColor(window.background));
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(fontFromSpec(window.font));

    // The client area stands where it is stored, and the user cannot resize it.
    const QRect client = pixelRect(window.clientArea);
    setGeometry(client);
    setFixedSize(client.size());

    buildControls();

    command1_ = qobject_cast<QPushButton *>(control(form::Role::Calculate));
    command2_ = qobject_cast<QPushButton *>(control(form::Role::Exit));
    label4_ = qobject_cast<QLabel *>(control(form::Role::Answer));
    answerNotice_ = new AccessibleNotice(this);

    connect(command1_, &QPushButton::clicked, this,
            [this] { dispatchEvent(this, [this] { Command1_Click(); }); });
    connect(command2_, &QPushButton::clicked, this,
            [this] { dispatchEvent(this, [this] { Command2_Click(); }); });
}

void Form1::buildControls()
{
    for (const form::ControlSpec &row : form::controlSpecs()) {
        QWidget *widget = createControl(row, this);
        widget->setObjectName(QString::fromLatin1(row.name));
        if (const auto *rect = std::get_if<form::TwipsRect>(&row.geometry))
            widget->setGeometry(pixelRect(*rect));
        applyLooks(row, widget);
        // Rows run front to back: each new control goes behind the ones before.
        widget->lower();
        if (!form::takesFocus(row))
            widget->setFocusPolicy(Qt::NoFocus);
    }
    const std::vector<const form::ControlSpec *> tabStops = form::tabOrder();
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        setTabOrder(control(tabStops[i - 1]->name), control(tabStops[i]->name));
    // The window opens with the focus on the first control in tab order.
    if (!tabStops.empty())
        control(tabStops.front()->name)->setFocus();
}

calc::Variant Form1::f(const std::int16_t &k) const
{
    return calc::f(k);
}

QWidget *Form1::control(const char *name) const
{
    return findChild<QWidget *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QWidget *Form1::control(form::Role role) const
{
    return control(form::controlWithRole(role).name);
}

void Form1::Command1_Click()
{
    const calc::SeriesSum sum = sumSeries_();
    const QString answer =
        QString::fromStdString(calc::makeAnswerText(sum.s, sum.k, userDecimalSeparator()));
    const QString before = label4_->text();
    label4_->setText(answer);
    // The label announces its new name itself; a screen reader that follows
    // text hears the new answer replace the old one as well. Readers that
    // say neither for a label that has no focus hear the notice.
    const form::ControlSpec &row = form::controlWithRole(form::Role::Answer);
    const QString spokenBefore = qText(form::accessibleName(row, before.toStdU16String()));
    const QString spoken = qText(form::accessibleName(row, answer.toStdU16String()));
    if (spoken != spokenBefore) {
        QAccessibleTextUpdateEvent changed(label4_, 0, spokenBefore, spoken);
        QAccessible::updateAccessibility(&changed);
    }
    answerNotice_->announce(spoken);
}

void Form1::changeEvent(QEvent *event)
{
    // The window has one size. Where a title bar offers to maximize it
    // anyway (Qt's own on Wayland draws that box whatever the window allows),
    // the state is undone, so that the window and the compositor agree.
    constexpr Qt::WindowStates kOtherSizes = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && windowState() & kOtherSizes) {
        QMetaObject::invokeMethod(
            this, [this, kOtherSizes] { setWindowState(windowState() & ~kOtherSizes); },
            Qt::QueuedConnection);
    }
    QWidget::changeEvent(event);
}

void Form1::Command2_Click()
{
    close();
}
