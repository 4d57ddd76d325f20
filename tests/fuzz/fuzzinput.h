#pragma once
// What every fuzz target shares: taking typed values off the front of the
// input, and failing loudly when a property does not hold (libFuzzer keeps
// the input that aborted).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>
#include <type_traits>

#define FUZZ_CHECK(condition)                                                                              \
    do {                                                                                                   \
        if (!(condition)) {                                                                                \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);         \
            std::abort();                                                                                  \
        }                                                                                                  \
    } while (false)

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next sizeof(T) bytes as a T; zero bytes once the input is used up.
    template <typename T>
    T take()
    {
        static_assert(std::is_integral_v<T>);
        std::make_unsigned_t<T> value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<std::make_unsigned_t<T>>((value << 8) | next());
        return static_cast<T>(value);
    }

    // A value in lo..hi (both included), from one or two bytes.
    int inRange(int lo, int hi)
    {
        const auto span = static_cast<unsigned>(hi - lo) + 1;
        const unsigned raw = span > 256 ? take<std::uint16_t>() : take<std::uint8_t>();
        return lo + static_cast<int>(raw % span);
    }

    bool flag() { return (take<std::uint8_t>() & 1) != 0; }

    // At most `count` of the next bytes.
    std::span<const std::uint8_t> bytes(std::size_t count)
    {
        count = count < size_ ? count : size_;
        const std::span<const std::uint8_t> part(data_, count);
        data_ += count;
        size_ -= count;
        return part;
    }
    std::span<const std::uint8_t> rest() { return bytes(size_); }
    std::string_view text(std::size_t count)
    {
        const auto part = bytes(count);
        return {reinterpret_cast<const char*>(part.data()), part.size()};
    }
    std::string_view restText() { return text(size_); }
    std::size_t remaining() const { return size_; }

private:
    std::uint8_t next()
    {
        if (size_ == 0)
            return 0;
        --size_;
        return *data_++;
    }

    const std::uint8_t* data_;
    std::size_t size_;
};

inline std::string_view asText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Messages quote at most 60 characters of the input, control bytes escaped
// (at most 4 characters each), around a fixed text: never a whole line.
inline constexpr std::size_t kLongestQuotingMessage = 60 * 4 + 80;
