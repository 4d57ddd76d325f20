#include "tiles/codec.h"
#include "tiles/codecdescription.h"

#include <deque>
#include <set>

namespace {

// Described codecs in the order they were added; a deque keeps the
// addresses describedCodec hands out valid while more are added.
std::deque<CodecDescription>& described()
{
    static std::deque<CodecDescription> codecs;
    return codecs;
}

} // namespace

std::string descriptionProblem(const CodecDescription& d)
{
    if (d.name.empty())
        return "the codec has no name";
    if (d.bitsPerPixel < 1 || d.bitsPerPixel > kMaxDescribedBits)
        return "bits per pixel must be 1 to " + std::to_string(kMaxDescribedBits);
    if (d.width < 1 || d.width > kMaxUnitSide || d.height < 1 || d.height > kMaxUnitSide)
        return "width and height must be 1 to " + std::to_string(kMaxUnitSide);
    if (d.bytes < 1 || d.bytes > kMaxUnitBytes)
        return "bytes must be 1 to " + std::to_string(kMaxUnitBytes);
    const auto expected = static_cast<std::size_t>(d.width) * d.height * d.bitsPerPixel;
    if (d.bits.size() != expected)
        return "the codec places " + std::to_string(d.bits.size()) + " pixel bits, not " + std::to_string(expected);
    std::set<std::pair<int, int>> used;
    for (const CodecBit& b : d.bits) {
        if (b.byte < 0 || b.byte >= d.bytes || b.bit < 0 || b.bit > 7)
            return "byte " + std::to_string(b.byte) + " bit " + std::to_string(b.bit) + " lies outside the " +
                   std::to_string(d.bytes) + " bytes of a tile";
        if (!used.insert({b.byte, b.bit}).second)
            return "byte " + std::to_string(b.byte) + " bit " + std::to_string(b.bit) + " holds two pixel bits";
    }
    return {};
}

int describedCodecCount() { return static_cast<int>(described().size()); }

const CodecDescription* describedCodec(Codec codec)
{
    const int i = codecIndex(codec) - kCodecCount;
    if (i < 0 || i >= describedCodecCount())
        return nullptr;
    return &described()[static_cast<std::size_t>(i)];
}

std::optional<Codec> addDescribedCodec(CodecDescription description, std::string& error)
{
    error = descriptionProblem(description);
    if (!error.empty())
        return std::nullopt;
    if (codecByName(description.name)) {
        error = "a codec named \"" + description.name + "\" exists already";
        return std::nullopt;
    }
    if (kCodecCount + describedCodecCount() > kMaxCodecValue) {
        error = "no more codecs can be added";
        return std::nullopt;
    }
    described().push_back(std::move(description));
    return static_cast<Codec>(kCodecCount + describedCodecCount() - 1);
}

std::vector<Codec> allCodecs()
{
    std::vector<Codec> codecs(kAllCodecs.begin(), kAllCodecs.end());
    for (int i = 0; i < describedCodecCount(); ++i)
        codecs.push_back(static_cast<Codec>(kCodecCount + i));
    return codecs;
}

namespace {
// A described codec's field, or `fallback` for a value that names none.
int describedField(Codec codec, int CodecDescription::*field, int fallback)
{
    const CodecDescription* d = describedCodec(codec);
    return d ? d->*field : fallback;
}
} // namespace

int describedBitsPerPixel(Codec codec) { return describedField(codec, &CodecDescription::bitsPerPixel, 0); }
int describedUnitWidth(Codec codec) { return describedField(codec, &CodecDescription::width, 8); }
int describedUnitHeight(Codec codec) { return describedField(codec, &CodecDescription::height, 8); }
int describedUnitBytes(Codec codec) { return describedField(codec, &CodecDescription::bytes, 0); }
