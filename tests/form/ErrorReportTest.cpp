// What every front end does with a failure that finds no window to report
// it in.
#include "ErrorReport.h"

#include "RuntimeError.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string> shown;

void recordBox(std::u16string_view message)
{
    shown.emplace_back(message);
}

void failingBox(std::u16string_view message)
{
    recordBox(message);
    throw std::runtime_error("no box either");
}

// The message in a plain box, once, then status 1; a box that fails, or a
// front end with none, ends the same.
TEST(ErrorReport, WithoutAWindowAPlainBoxThenStatusOne)
{
    const auto error = std::make_exception_ptr(calc::RuntimeError(calc::ErrorKind::Overflow));
    for (void (*box)(std::u16string_view) : {&recordBox, &failingBox}) {
        shown.clear();
        EXPECT_EQ(form::reportWithoutWindow(error, box), form::kExitStatusReportedError);
        EXPECT_EQ(shown, std::vector<std::u16string>{std::u16string(form::errorMessage(error))});
    }
    EXPECT_EQ(form::reportWithoutWindow(error, nullptr), form::kExitStatusReportedError);
}

} // namespace
