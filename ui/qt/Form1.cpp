#include "Form1.h"

#include "Accessibility.h"
#include "AccessibleText.h"
#include "Assets.h"
#include "CaptionLabel.h"
#include "ErrorReport.h"
#include "EventDispatch.h"
#include "FontStandIn.h"
#include "Widgets.h"
#include "WindowTable.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <optional>
#include <utility>

namespace {

using form::pixelsFromTwips;

QRect pixelRect(const form::TwipsRect &twips)
{
    const form::PixelRect pixels = pixelsFromTwips(twips);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

QColor qColor(form::Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

QString qText(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

form::Rgb rgb(const QColor &colour)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// The colours of the user's scheme: the text as a label has it, a button's
// text and face as a button has them.
form::SchemeColours schemeColours()
{
    const QPalette button = QApplication::palette("QPushButton");
    return {rgb(QApplication::palette("QLabel").color(QPalette::WindowText)),
            rgb(button.color(QPalette::ButtonText)), rgb(button.color(QPalette::Button))};
}

// The QFont for a font of the layout. A Windows face that Debian lacks is
// replaced by installed stand-ins with its metrics, handed to the font system
// as one list of families so that it resolves them in a single lookup.
QFont fontFromSpec(const form::FontSpec &wanted)
{
    const form::FontStandIn standIn = form::fontStandIn(wanted);
    QStringList families;
    for (const std::u16string &family : standIn.families)
        families.append(QString::fromStdU16String(family));
    QFont font;
    font.setFamilies(families);
    // The faces in the lists cover the window's own text (Latin and
    // Cyrillic). A character they lack, such as a locale's decimal separator,
    // is drawn from a face that has it; that search is made only when such a
    // character turns up.
    font.setStyleHint(QFont::SansSerif);
    // Sized for 96 dpi in the window's own pixels, like the boxes: where the
    // toolkit's scaling is off on a high-dpi screen, points alone would grow
    // the text while the window stays at its 96-dpi size.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPointSizeF(wanted.points * 96.0 / dpi);
    font.setWeight(static_cast<QFont::Weight>(standIn.weight));
    font.setStretch(standIn.stretch.value_or(QFont::AnyStretch));
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikeOut);
    return font;
}

// The window's key for `event`, or none where it is nothing of the window's
// (Control or Meta held, another key). The keypad's Enter is Enter.
std::optional<form::KeyPress> keyPress(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
    if (held & (Qt::ControlModifier | Qt::MetaModifier))
        return std::nullopt;
    const bool alt = held & Qt::AltModifier;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return form::KeyPress{form::Key::Enter, 0, alt};
    case Qt::Key_Space:
        return form::KeyPress{form::Key::Space, 0, alt};
    case Qt::Key_Escape:
        return form::KeyPress{form::Key::Escape, 0, alt};
    default:
        break;
    }
    // The letter as the keyboard layout makes it: a Russian layout's "ы"
    // comes with the key code of the Latin key it sits on.
    const QString text = event.text();
    if (text.size() != 1 || !text.at(0).isLetter())
        return std::nullopt;
    return form::KeyPress{form::Key::Letter, text.at(0).unicode(), alt};
}

QWidget *createControl(const form::ControlSpec &row, QWidget *parent)
{
    switch (row.kind) {
    case form::ControlKind::Button:
        return new QPushButton(qText(row.caption), parent);
    case form::ControlKind::Label:
        return new CaptionLabel(qText(row.caption), row.alignment, parent);
    case form::ControlKind::Image:
        return new PictureLabel(formulaPicture(), parent);
    case form::ControlKind::Line: {
        const auto &line = std::get<form::TwipsLine>(row.geometry);
        return new LineControl({pixelsFromTwips(line.x1), pixelsFromTwips(line.y1),
                                pixelsFromTwips(line.x2), pixelsFromTwips(line.y2)},
                               parent);
    }
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
    widget->setPalette(palette);
    widget->setFont(fontFromSpec(form::fontOf(row)));
}

} // namespace

Form1::Form1(calc::Calculation calculation, SeparatorQuery separators, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      separators_(std::move(separators)), model_(*this, std::move(calculation))
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
    installEventFilter(this);
    answerNotice_ = new AccessibleNotice(this);
    const form::ControlSpec &answer = form::controlWithRole(form::Role::Answer);
    spokenAnswer_ = qText(form::accessibleName(answer, answer.caption));
    model_.start(schemeColours());
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
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            button->installEventFilter(this);
            connect(button, &QPushButton::clicked, this, [this, role = row.role] {
                dispatchEvent(this, [this, role] { model_.click(role); });
            });
        }
    }
}

QWidget *Form1::control(const char *name) const
{
    return findChild<QWidget *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QWidget *Form1::control(form::Role role) const
{
    return control(form::controlWithRole(role).name);
}

void Form1::reportError(const std::exception_ptr &error)
{
    model_.reportError(error);
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
    if (event->type() == QEvent::PaletteChange)
        dispatchEvent(this, [this] { model_.schemeChanged(schemeColours()); });
    QWidget::changeEvent(event);
}

bool Form1::focusNextPrevChild(bool next)
{
    dispatchEvent(this,
                  [this, next] { model_.pressKey({next ? form::Key::Tab : form::Key::Backtab}); });
    return true;
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Alt with a button's letter comes as that button's mnemonic, which Qt
    // matches in any keyboard layout, and which a screen reader does not
    // echo as typing; what it does is the model's.
    if (event->type() == QEvent::Shortcut) {
        const QKeySequence key = static_cast<QShortcutEvent *>(event)->key();
        if (key.isEmpty())
            return QWidget::eventFilter(watched, event);
        const auto letter = static_cast<char16_t>(key[0].key());
        dispatchEvent(this, [&] { model_.pressKey({form::Key::Letter, letter, true}); });
        return true;
    }
    // Every other key of the window's goes to the model, before the button
    // with the focus sees it: Qt's Return and Space would decide for
    // themselves.
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const std::optional<form::KeyPress> press = keyPress(*static_cast<QKeyEvent *>(event));
    if (!press || (event->type() == QEvent::ShortcutOverride && press->alt &&
                   press->key == form::Key::Letter))
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // The key comes as a key press, not as a shortcut.
        event->accept();
        return true;
    }
    bool taken = false;
    dispatchEvent(this, [&] { taken = model_.pressKey(*press); });
    return taken;
}

void Form1::showCaption(const form::ControlSpec &row, std::u16string_view caption)
{
    auto *label = qobject_cast<QLabel *>(control(row.name));
    if (!label)
        return;
    // The label tells its new name itself.
    label->setText(qText(caption));
}

void Form1::setInk(const form::ControlSpec &row, form::Rgb ink)
{
    // (The window's own palette is set before its controls exist.)
    if (QWidget *widget = control(row.name)) {
        QPalette palette = widget->palette();
        palette.setColor(row.kind == form::ControlKind::Button ? QPalette::ButtonText
                                                               : QPalette::WindowText,
                         qColor(ink));
        widget->setPalette(palette);
    }
}

void Form1::setFocus(form::Role role, form::FocusReason reason)
{
    control(role)->setFocus(reason == form::FocusReason::Tab       ? Qt::TabFocusReason
                            : reason == form::FocusReason::Backtab ? Qt::BacktabFocusReason
                                                                   : Qt::OtherFocusReason);
}

form::Role Form1::focused() const
{
    const QWidget *focus = focusWidget();
    const form::ControlSpec *row =
        focus ? form::findControl(focus->objectName().toStdString()) : nullptr;
    return row ? row->role : form::Role::None;
}

void Form1::announce(std::u16string_view text)
{
    // A screen reader that follows text hears the answer's new text replace
    // the old; readers that say nothing of a label without the focus hear
    // the notice. Both tell the model's text.
    const QString spoken = qText(text);
    if (spoken != spokenAnswer_) {
        QAccessibleTextUpdateEvent changed(control(form::Role::Answer), 0, spokenAnswer_, spoken);
        QAccessible::updateAccessibility(&changed);
        spokenAnswer_ = spoken;
    }
    answerNotice_->announce(spoken);
}

void Form1::showErrorBox(std::u16string_view message)
{
    showModalErrorBox(this, message);
    model_.errorBoxClosed();
}

void Form1::close(int status)
{
    // Closing the last window ends the event loop with 0; any other status
    // ends it at once, the window still standing.
    if (status == form::kExitStatusOk)
        QWidget::close();
    else
        QCoreApplication::exit(status);
}

form::DecimalSeparators Form1::decimalSeparators() const
{
    return separators_();
}
