#pragma once

// Lets GoogleTest print Qt values readably in failure messages.

#include <QColor>
#include <QString>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QColor &colour, std::ostream *out)
{
    *out << (colour.isValid() ? colour.name().toStdString() : std::string("(mixed pixels)"));
}
