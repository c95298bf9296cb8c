#include "Accessibility.h"

#include "CaptionLabel.h"
#include "Form1.h"
#include "LayoutTable.h"
#include "LineControl.h"

#include <QAccessibleWidget>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// A caption label: named by its text as shown, and readable as text, so a
// screen reader can review it and hear it change.
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
            return shown();
        return QAccessibleWidget::text(kind);
    }

    // Read-only text without a caret or selection.
    QString text(int startOffset, int endOffset) const override
    {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QRect characterRect(int offset) const override
    {
        const auto *label = static_cast<const CaptionLabel *>(widget());
        const CaptionLabel::Layout &layout = label->captionLayout();
        for (std::size_t i = 0; i < layout.lines.size(); ++i) {
            const form::CaptionLine &line = layout.lines[i];
            if (std::cmp_greater_equal(offset, line.start) && std::cmp_less(offset, line.end())) {
                const QRect local =
                    label->glyphRect(qsizetype(i), qsizetype(offset - line.start)).toAlignedRect();
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
    QString shown() const
    {
        return QString::fromStdU16String(
            form::ShownCaption::fromCaption(
                static_cast<CaptionLabel *>(widget())->text().toStdU16String())
                .text);
    }
};

// The window as a frame that lists its controls in the table's reading order.
class FormAccessible : public QAccessibleWidget
{
public:
    explicit FormAccessible(QWidget *form) : QAccessibleWidget(form, QAccessible::Window) {}

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
    if (className == QLatin1String(Form1::staticMetaObject.className()))
        return new FormAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String(CaptionLabel::staticMetaObject.className()))
        return new CaptionLabelAccessible(static_cast<CaptionLabel *>(object));
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
