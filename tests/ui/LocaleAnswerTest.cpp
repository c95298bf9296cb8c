// Run once per locale by CTest, which sets LC_ALL for the process and names
// the separator that locale uses in VELTO_TEST_DECIMAL ("comma" or "point").
#include "Form1.h"
#include "QtPrinters.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(LocaleAnswer, CalculateUsesTheUsersDecimalSeparator)
{
    const QByteArray decimal = qgetenv("VELTO_TEST_DECIMAL");
    ASSERT_TRUE(decimal == "comma" || decimal == "point") << "run this test through CTest";
    const QString expected =
        decimal == "comma" ? QStringLiteral("00,01384   17") : QStringLiteral("00.01384   17");

    Form1 form;
    form.show();
    QTest::mouseClick(form.command1(), Qt::LeftButton);
    EXPECT_EQ(form.label4()->text(), expected);
}
