#include "RuntimeError.h"

namespace calc {

void raise(ErrorKind kind)
{
    throw RuntimeError(kind);
}

} // namespace calc
