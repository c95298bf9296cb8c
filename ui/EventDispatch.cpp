#include "EventDispatch.h"

#include "RuntimeError.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

namespace {

QString describe(calc::ErrorKind kind)
{
    const QString name = QString::fromLatin1(calc::errorKindName(kind));
    switch (kind) {
    case calc::ErrorKind::Overflow:
        return QStringLiteral("Ошибка выполнения: переполнение (%1).").arg(name);
    case calc::ErrorKind::FloatingPoint:
        return QStringLiteral("Ошибка выполнения: ошибка вычислений с плавающей точкой (%1).")
            .arg(name);
    }
    return name;
}

} // namespace

void dispatchEvent(QWidget *window, const std::function<void()> &handler) noexcept
{
    try {
        handler();
    } catch (const calc::RuntimeError &error) {
        QMessageBox box(QMessageBox::Critical, window ? window->windowTitle() : QString(),
                        describe(error.kind()), QMessageBox::Ok, window);
        box.exec();
        QCoreApplication::exit(kRuntimeErrorExitStatus);
    }
}
