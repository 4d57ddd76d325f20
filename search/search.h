#pragma once
// Searching the ROM image: a byte pattern from a position onwards, and the
// relative search that finds text in an unknown encoding by the distances
// between its letters. Positions are byte offsets into the image.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The first position after `start` where `pattern` lies in the image with
// `interval` bytes between its bytes (pattern byte j at position + j *
// (interval + 1)). `start` itself never counts, so repeating the search from
// each hit visits the occurrences in turn. Nothing for an empty pattern, a
// start outside the image, or no hit. A negative interval counts as 0.
[[nodiscard]] std::optional<std::size_t> findForward(std::span<const std::uint8_t> image, std::int64_t start,
                                                     std::span<const std::uint8_t> pattern, int interval);

inline constexpr std::size_t kLongestRelativeWord = 255;

struct RelativeSearchResult {
    std::vector<std::size_t> hits; // ascending
    bool wordTooLong = false;      // more than 255 letters: nothing searched
};

// Every position where the image bytes (with `interval` bytes between them)
// lie as far apart as the word's letters: w[j] - image[p + j * (interval + 1)]
// is the same for every j, as plain integers, so "ABC" matches 10 11 12 but
// not FE FF 00. Words of fewer than 2 letters have no hits; a negative
// interval counts as 0.
[[nodiscard]] RelativeSearchResult relativeSearch(std::span<const std::uint8_t> image, std::string_view word,
                                                  int interval);
