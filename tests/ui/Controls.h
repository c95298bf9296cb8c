#pragma once

// The window's controls by their role, as the widget tests reach them.

#include "Form1.h"

#include <QLabel>
#include <QPushButton>

inline QPushButton *button(const Form1 &form, form::Role role)
{
    return qobject_cast<QPushButton *>(form.control(role));
}

inline QLabel *answerLabel(const Form1 &form)
{
    return qobject_cast<QLabel *>(form.control(form::Role::Answer));
}
