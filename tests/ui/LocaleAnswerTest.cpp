// Run once per locale by CTest, which sets the locale variables for the
// process and names the separator that locale gives in VELTO_TEST_DECIMAL
// ("comma", "point" or "momayyez", the Arabic decimal separator).
#include "Controls.h"
#include "Form1.h"
#include "QtPrinters.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(LocaleAnswer, CalculateUsesTheUsersDecimalSeparator)
{
    const QByteArray decimal = qgetenv("VELTO_TEST_DECIMAL");
    const QString separator = decimal == "comma"      ? QStringLiteral(",")
                              : decimal == "point"    ? QStringLiteral(".")
                              : decimal == "momayyez" ? QStringLiteral("\u066B")
                                                      : QString();
    ASSERT_FALSE(separator.isEmpty()) << "run this test through CTest";

    Form1 form;
    form.show();
    QTest::mouseClick(button(form, form::Role::Calculate), Qt::LeftButton);
    EXPECT_EQ(answerLabel(form)->text(),
              QStringLiteral("00") + separator + QStringLiteral("01384   17"));
}
