// Owners for every Windows handle the program holds: non-copyable, movable, with release().
#pragma once

#include <windows.h>

#include <utility>

namespace quillon {

// Owns one resource described by Traits (its type, its empty value test and its release).
template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    explicit operator bool() const { return !Traits::IsEmpty(value_); }

    // Gives up ownership without releasing.
    Type release() { return std::exchange(value_, Traits::Empty()); }

    void Reset(Type value = Traits::Empty()) {
        Type old = std::exchange(value_, value);
        if (!Traits::IsEmpty(old))
            Traits::Close(old);
    }

  private:
    Type value_ = Traits::Empty();
};

// Kernel objects: both null and INVALID_HANDLE_VALUE mean "nothing".
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// A directory search started by FindFirstFileW.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsEmpty(Type h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

// An opened registry key.
struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type key) { return key == nullptr; }
    static void Close(Type key) { ::RegCloseKey(key); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

}  // namespace quillon
