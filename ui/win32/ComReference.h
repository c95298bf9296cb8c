#pragma once

#include <memory>

struct ReleaseReference
{
    template <typename Interface> void operator()(Interface *object) const noexcept
    {
        object->Release();
    }
};

// One reference to a COM object, released once, by whoever holds it; made
// from a pointer, it takes over a reference the caller was given or made.
// (reset() lets go of the object only once the holder no longer has it, so
// that the object may call back into its holder while it goes.)
template <typename Interface> using ComReference = std::unique_ptr<Interface, ReleaseReference>;
