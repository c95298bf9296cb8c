#include "ErrorReport.h"

#include "RuntimeError.h"

#include <new>

namespace form {

std::u16string_view errorMessage(const std::exception_ptr &error) noexcept
{
    try {
        std::rethrow_exception(error);
    } catch (const calc::RuntimeError &runtimeError) {
        switch (runtimeError.kind()) {
        case calc::ErrorKind::Overflow:
            return u"Ошибка выполнения: переполнение (Overflow).";
        case calc::ErrorKind::FloatingPoint:
            return u"Ошибка выполнения: ошибка вычислений с плавающей точкой (FloatingPoint).";
        }
    } catch (const std::bad_alloc &) {
        return u"Ошибка выполнения: недостаточно памяти (OutOfMemory).";
    } catch (...) {
    }
    return u"Ошибка выполнения: непредвиденная ошибка (Unexpected).";
}

int reportWithoutWindow(const std::exception_ptr &error,
                        void (*showPlainBox)(std::u16string_view message)) noexcept
{
    try {
        if (showPlainBox)
            showPlainBox(errorMessage(error));
    } catch (...) {
        // Not even the box: the status alone tells of the failure.
    }
    return kExitStatusReportedError;
}

} // namespace form
