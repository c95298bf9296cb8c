#include "Accessibility.h"

#include "AccessibleText.h"
#include "CaptionLabel.h"
#include "Widgets.h"
#include "WindowTable.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The sibling control of `widget` that the table names `name`.
QAccessibleInterface *sibling(const QWidget *widget, const char *name)
{
    QWidget *window = widget->parentWidget();
    if (!window)
        return nullptr;
    return QAccessible::queryAccessibleInterface(
        window->findChild<QWidget *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly));
}

// A caption label: named and readable by its text as shown, single-spaced,
// so a screen reader can review it and hear it change; offsets into that
// text find their characters on the screen.
class CaptionLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit CaptionLabelAccessible(CaptionLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return readerText();
        return QAccessibleWidget::text(kind);
    }

    // An instruction labels the button it tells about (a description
    // relation is beyond the toolkit); the answer is written by Calculate.
    // Related labels are not read again as loose text of the dialog.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto related = QAccessibleWidget::relations(match);
        const form::ControlSpec *row = this->row();
        if (!row)
            return related;
        for (const form::ControlSpec &other : form::controlSpecs()) {
            if (other.describedBy && std::string_view(other.describedBy) == row->name &&
                (match & QAccessible::Labelled)) {
                if (QAccessibleInterface *button = sibling(widget(), other.name))
                    related.append({button, QAccessible::Labelled});
            }
        }
        if (row->role == form::Role::Answer && (match & QAccessible::Controller)) {
            if (QAccessibleInterface *calculate =
                    sibling(widget(), form::controlWithRole(form::Role::Calculate).name))
                related.append({calculate, QAccessible::Controller});
        }
        return related;
    }

    // Read-only text without a caret or selection.
    QString text(int startOffset, int endOffset) const override
    {
        return readerText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(readerText().size()); }
    QRect characterRect(int offset) const override
    {
        if (offset < 0)
            return {};
        const auto *label = static_cast<const CaptionLabel *>(widget());
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
    const form::ControlSpec *row() const
    {
        return form::findControl(widget()->objectName().toStdString());
    }

    QString readerText() const
    {
        const std::u16string caption =
            static_cast<CaptionLabel *>(widget())->text().toStdU16String();
        if (const form::ControlSpec *row = this->row())
            return QString::fromStdU16String(form::accessibleName(*row, caption));
        return QString::fromStdU16String(
            form::accessibleText(form::ShownCaption::fromCaption(caption).text));
    }
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
    explicit FormAccessible(QWidget *form) : QAccessibleWidget(form, QAccessible::Dialog) {}

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
    if (className == QLatin1String(CaptionLabel::staticMetaObject.className()))
        return new CaptionLabelAccessible(static_cast<CaptionLabel *>(object));
    if (className == QLatin1String(AccessibleNotice::staticMetaObject.className()))
        return new NoticeAccessible(static_cast<AccessibleNotice *>(object));
    if (className == QLatin1String(LineControl::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Separator);
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
