#pragma once
// Short names for the codecs, for the decoders' long per-codec tables and
// switches. Included inside their anonymous namespaces, after
// "tiles/codec.h", so it includes nothing itself.

constexpr Codec kOneBpp = Codec::OneBpp;
constexpr Codec kNes = Codec::Nes;
constexpr Codec kGameBoy = Codec::GameBoy;
constexpr Codec kLinear = Codec::Linear;
constexpr Codec kNgp = Codec::Ngp;
constexpr Codec kSnes = Codec::Snes;
constexpr Codec kSnesMirrored = Codec::SnesMirrored;
constexpr Codec kGba = Codec::Gba;
constexpr Codec kGenesis = Codec::Genesis;
constexpr Codec kSms = Codec::Sms;
constexpr Codec kSnes3 = Codec::Snes3;
constexpr Codec kSnes8 = Codec::Snes8;
constexpr Codec kGba8 = Codec::Gba8;
constexpr Codec kMode7 = Codec::Mode7;
constexpr Codec kVirtualBoy = Codec::VirtualBoy;
constexpr Codec kPceSprite = Codec::PceSprite;
