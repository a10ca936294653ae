#pragma once

#include <utility>

namespace base {

// Owns one operating-system handle and releases it in its destructor.
//
// Traits supplies the raw handle type, the value that means "no handle" and the release
// function:
//   struct Traits {
//       using Type = ...;
//       static Type invalid() noexcept;
//       static void close(Type) noexcept;   // must keep the caller's last-error value
//   };
// Move-only; never converts implicitly to the raw handle.
template <typename Traits>
class UniqueHandle {
  public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type value) noexcept : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    [[nodiscard]] Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    // Releases the current handle, if any, and takes ownership of value.
    void reset(Type value = Traits::invalid()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }

    // Gives up ownership without releasing.
    [[nodiscard]] Type release() noexcept { return std::exchange(value_, Traits::invalid()); }

    // Empties the owner and hands out the address for an API that writes a handle.
    [[nodiscard]] Type* put() noexcept {
        reset();
        return &value_;
    }

  private:
    Type value_ = Traits::invalid();
};

}  // namespace base
