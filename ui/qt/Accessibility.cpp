#include "Accessibility.h"

#include "AccessibleObject.h"
#include "AccessibleText.h"
#include "CaptionLabel.h"
#include "WindowTable.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The platform's role for each of the window's: this table is all the view
// decides.
constexpr QAccessible::Role qtRole(form::AccessibleRole role) noexcept
{
    switch (role) {
    case form::AccessibleRole::Window:
        return QAccessible::Dialog;
    case form::AccessibleRole::PushButton:
        return QAccessible::PushButton;
    case form::AccessibleRole::StaticText:
        return QAccessible::StaticText;
    case form::AccessibleRole::Graphic:
        return QAccessible::Graphic;
    case form::AccessibleRole::Separator:
        break;
    }
    return QAccessible::Separator;
}

QString qText(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

// The sibling control of `widget` that stands for `row`.
QAccessibleInterface *sibling(const QWidget *widget, const form::ControlSpec *row)
{
    QWidget *window = widget->parentWidget();
    if (!window || !row)
        return nullptr;
    return QAccessible::queryAccessibleInterface(
        window->findChild<QWidget *>(QString::fromLatin1(row->name), Qt::FindDirectChildrenOnly));
}

// A control of the table, as the window's accessible description has it.
// A caption label is also readable by its text as shown, single-spaced, so a
// screen reader can review it and hear it change; offsets into that text
// find their characters on the screen. A button is pressed as Qt's own are.
class ControlAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ControlAccessible(QWidget *widget) : QAccessibleWidget(widget) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && label())
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::Role role() const override
    {
        return row() ? qtRole(description().role) : QAccessibleWidget::role();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (const QPushButton *pushed = button()) {
            state.pressed = pushed->isDown();
            state.defaultButton = pushed->isDefault();
        }
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (!row())
            return QAccessibleWidget::text(kind);
        switch (kind) {
        case QAccessible::Name:
            return qText(description().name);
        case QAccessible::Description:
            return qText(description().description);
        case QAccessible::Value:
            return qText(description().value);
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    // Qt has no description relation: an instruction labels the button it
    // describes. Related labels are not read again as loose text of the
    // dialog.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto related = QAccessibleWidget::relations(match);
        if (!row())
            return related;
        const form::AccessibleObject object = description();
        const auto add = [&](const form::ControlSpec *row, QAccessible::Relation relation) {
            if (match & relation) {
                if (QAccessibleInterface *other = sibling(widget(), row))
                    related.append({other, relation});
            }
        };
        add(object.describes, QAccessible::Labelled);
        add(object.controlledBy, QAccessible::Controller);
        add(object.controls, QAccessible::Controlled);
        return related;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (button())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString &action) override
    {
        if (QPushButton *pushed = button(); pushed && action == pressAction())
            pushed->animateClick();
        else
            QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString &action) const override
    {
        if (const QPushButton *pushed = button(); pushed && action == pressAction())
            return {pushed->shortcut().toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

    // Read-only text without a caret or selection.
    QString text(int startOffset, int endOffset) const override
    {
        return readerText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(readerText().size()); }
    QRect characterRect(int offset) const override
    {
        const CaptionLabel *label = this->label();
        if (offset < 0 || !label)
            return {};
        const CaptionLabel::Layout &layout = label->captionLayout();
        const std::size_t shownOffset =
            form::shownOffset(layout.text.toStdU16String(), static_cast<std::size_t>(offset));
        for (std::size_t i = 0; i < layout.lines.size(); ++i) {
            const form::CaptionLine &line = layout.lines[i];
            if (shownOffset >= line.start && shownOffset < line.end()) {
                const QRect local =
                    label->glyphRect(qsizetype(i), qsizetype(shownOffset - line.start))
                        .toAlignedRect();
                return QRect(label->mapToGlobal(local.topLeft()), local.size());
            }
        }
        return {};
    }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    const CaptionLabel *label() const { return qobject_cast<const CaptionLabel *>(widget()); }
    QPushButton *button() const { return qobject_cast<QPushButton *>(widget()); }

    // The control's row, by the name it is given once built.
    const form::ControlSpec *row() const
    {
        return form::findControl(widget()->objectName().toStdString());
    }

    // What the control shows now.
    std::u16string caption(const form::ControlSpec &row) const
    {
        if (const CaptionLabel *label = this->label())
            return label->text().toStdU16String();
        if (const QPushButton *pushed = button())
            return pushed->text().toStdU16String();
        return row.caption;
    }

    // Only for a control whose row is known.
    form::AccessibleObject description() const
    {
        const form::ControlSpec &row = *this->row();
        return form::accessibleObject(row, caption(row));
    }

    QString readerText() const { return row() ? qText(description().name) : QString(); }
};

// The notice: a notification of the application, as a desktop's are, not
// a part of the window: a reader presenting it does not read the window's
// text again, and it is none of the window's children in reading order.
class NoticeAccessible : public QAccessibleObject
{
public:
    explicit NoticeAccessible(AccessibleNotice *notice) : QAccessibleObject(notice) {}

    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(qApp);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !notice()->isShown();
        return state;
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? notice()->text() : QString();
    }

private:
    const AccessibleNotice *notice() const
    {
        return static_cast<const AccessibleNotice *>(object());
    }
};

// The window as a dialog that lists its controls in the table's reading
// order: a fixed window with a statement and two buttons is what readers
// present as a dialog, reading its loose text when it opens.
class FormAccessible : public QAccessibleWidget
{
public:
    explicit FormAccessible(QWidget *form)
        : QAccessibleWidget(form, qtRole(form::accessibleWindow().role))
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return qText(form::accessibleWindow().name);
        return QAccessibleWidget::text(kind);
    }

    int childCount() const override { return static_cast<int>(readingOrder().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const std::vector<QWidget *> children = readingOrder();
        if (index < 0 || index >= static_cast<int>(children.size()))
            return nullptr;
        return QAccessible::queryAccessibleInterface(children[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const std::vector<QWidget *> children = readingOrder();
        const auto found = std::find(children.begin(), children.end(), child->object());
        return found == children.end() ? -1 : static_cast<int>(found - children.begin());
    }

private:
    std::vector<QWidget *> readingOrder() const
    {
        std::vector<QWidget *> children;
        for (const form::ControlSpec *row : form::readingOrder()) {
            if (auto *control = widget()->findChild<QWidget *>(QString::fromLatin1(row->name),
                                                               Qt::FindDirectChildrenOnly))
                children.push_back(control);
        }
        return children;
    }
};

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    // The window by its name in the table, whatever class draws it.
    if (object->isWidgetType() && static_cast<QWidget *>(object)->isWindow() &&
        object->objectName() == QLatin1String(form::windowSpec().name))
        return new FormAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String(AccessibleNotice::staticMetaObject.className()))
        return new NoticeAccessible(static_cast<AccessibleNotice *>(object));
    // Each control of the window: a child widget of it (whose name, given
    // once it is built, finds its row).
    if (object->isWidgetType() && !static_cast<QWidget *>(object)->isWindow() && object->parent() &&
        object->parent()->objectName() == QLatin1String(form::windowSpec().name))
        return new ControlAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    (void)installed;
}

AccessibleNotice::AccessibleNotice(QWidget *window) : QObject(window) {}

void AccessibleNotice::announce(const QString &text)
{
    // The notice shown before goes, and the new one appears: a reader hears
    // each announcement, the same answer again included.
    if (shown_) {
        shown_ = false;
        QAccessibleEvent hidden(this, QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&hidden);
    }
    text_ = text;
    shown_ = true;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    emit appeared(text_);
}

ActivationReplay::ActivationReplay(QWidget *window) : window_(window)
{
    QAccessible::installActivationObserver(this);
}

ActivationReplay::~ActivationReplay()
{
    QAccessible::removeActivationObserver(this);
}

void ActivationReplay::accessibilityActiveChanged(bool active)
{
    // A window activated after this moment announces itself; only one that
    // is active already went unheard. The bridge starts sending once its
    // own start-up is done, after this call: hence the queued replay.
    if (!active || !window_ || !window_->isActiveWindow())
        return;
    QMetaObject::invokeMethod(
        window_,
        [window = window_] {
            if (!window || !window->isActiveWindow())
                return;
            QAccessible::State changed;
            changed.active = true;
            QAccessibleStateChangeEvent activated(window, changed);
            QAccessible::updateAccessibility(&activated);
            if (QWidget *focus = window->focusWidget()) {
                QAccessibleEvent focused(focus, QAccessible::Focus);
                QAccessible::updateAccessibility(&focused);
            }
        },
        Qt::QueuedConnection);
}
