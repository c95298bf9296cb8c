#include "Accessibility.h"

#include "CaptionLabel.h"
#include "LayoutTable.h"
#include "LineControl.h"

#include <QAccessibleWidget>
#include <algorithm>
#include <vector>

namespace {

class CaptionLabelAccessible : public QAccessibleWidget
{
public:
    explicit CaptionLabelAccessible(CaptionLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return MnemonicText::fromCaption(static_cast<CaptionLabel *>(widget())->text()).text;
        return QAccessibleWidget::text(kind);
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
        std::vector<std::pair<int, QWidget *>> ranked;
        for (const form::ControlSpec &row : form::controlSpecs()) {
            if (!row.readingIndex)
                continue;
            if (auto *control = widget()->findChild<QWidget *>(QString::fromLatin1(row.name),
                                                               Qt::FindDirectChildrenOnly))
                ranked.emplace_back(*row.readingIndex, control);
        }
        std::sort(ranked.begin(), ranked.end());
        std::vector<QWidget *> children;
        for (const auto &entry : ranked)
            children.push_back(entry.second);
        return children;
    }
};

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("Form1"))
        return new FormAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("CaptionLabel"))
        return new CaptionLabelAccessible(static_cast<CaptionLabel *>(object));
    if (className == QLatin1String("LineControl"))
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
