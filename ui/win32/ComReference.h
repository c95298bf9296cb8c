#pragma once

#include <utility>

// One reference to a COM object, released once, by whoever holds it.
template <typename Interface> class ComReference
{
public:
    ComReference() = default;
    // Takes over a reference the caller was given or made.
    explicit ComReference(Interface *object) noexcept : object_(object) {}
    ~ComReference() { reset(); }
    ComReference(ComReference &&other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComReference &operator=(ComReference &&other) noexcept
    {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ComReference(const ComReference &) = delete;
    ComReference &operator=(const ComReference &) = delete;

    Interface *get() const noexcept { return object_; }
    Interface *operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

    // Lets go; the object may call back into its holder while it goes, so
    // the holder no longer has it by then.
    void reset() noexcept
    {
        if (Interface *object = std::exchange(object_, nullptr))
            object->Release();
    }
    // Where a function that makes an object puts its reference.
    Interface **put() noexcept
    {
        reset();
        return &object_;
    }

private:
    Interface *object_ = nullptr;
};
