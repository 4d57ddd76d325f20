#pragma once
// The ROM image: the opened file as bytes, padded to a minimum size.
#include "tiles/codec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

constexpr std::int32_t kMinimumLoadSize = 16384;  // after Open
constexpr std::int32_t kMinimumReloadSize = 8192; // after Reload
constexpr std::uint8_t kPaddingByte = 0x00;       // past the end of a short file

// Memory for file contents that are read over at once: resize leaves new
// bytes uninitialised rather than zero-filling them first, and large blocks
// start on a 2 MiB boundary so the system may back them with huge pages.
template <class T>
struct RomAllocator {
    using value_type = T;
    static constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

    RomAllocator() = default;
    template <class U>
    RomAllocator(const RomAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        if (n * sizeof(T) >= kLargeBlock)
            return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t{kLargeBlock}));
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        if (n * sizeof(T) >= kLargeBlock)
            ::operator delete(p, std::align_val_t{kLargeBlock});
        else
            ::operator delete(p);
    }
    template <class U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U; // default-initialised: no zero fill
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U>
    bool operator==(const RomAllocator<U>&) const noexcept
    {
        return true;
    }
};

// The bytes of a ROM image, or of any file read whole.
using RomBytes = std::vector<std::uint8_t, RomAllocator<std::uint8_t>>;

// The same bytes, whichever allocator holds them.
inline bool operator==(const RomBytes& a, const std::vector<std::uint8_t>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// The extension with its dot ("" when the file name has none), as typed.
std::string fileExtension(std::string_view fileName);
// Codec chosen by a file name's extension when a ROM is opened.
Codec codecForFileName(std::string_view fileName);

// The bytes of a file as a ROM image: grown with padding bytes to `minimum`.
RomBytes makeRomImage(RomBytes fileBytes, std::int32_t minimum);
