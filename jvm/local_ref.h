#pragma once

#include <jni.h>

#include <utility>

namespace jvm {

// Owns one JNI local reference and deletes it when it goes out of scope. Threads that live
// long (the Java main thread, request workers) would otherwise pile up references until they
// detach.
template <typename T>
class LocalRef {
  public:
    LocalRef(JNIEnv* env, T ref) noexcept : env_(env), ref_(ref) {}
    ~LocalRef() { reset(); }

    LocalRef(LocalRef&& other) noexcept : env_(other.env_), ref_(other.release()) {}
    LocalRef& operator=(LocalRef&& other) noexcept {
        if (this != &other) {
            reset();
            env_ = other.env_;
            ref_ = other.release();
        }
        return *this;
    }
    LocalRef(const LocalRef&) = delete;
    LocalRef& operator=(const LocalRef&) = delete;

    [[nodiscard]] T get() const noexcept { return ref_; }
    explicit operator bool() const noexcept { return ref_ != nullptr; }

    // Gives up ownership, for references handed back to the caller.
    [[nodiscard]] T release() noexcept { return std::exchange(ref_, nullptr); }

    void reset() noexcept {
        if (ref_ != nullptr) env_->DeleteLocalRef(std::exchange(ref_, nullptr));
    }

  private:
    JNIEnv* env_;
    T ref_;
};

template <typename T>
LocalRef(JNIEnv*, T) -> LocalRef<T>;

}  // namespace jvm
