#include "Accessibility.h"

#include "CaptionLabel.h"
#include "LineControl.h"

#include <QAccessibleWidget>

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

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
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
