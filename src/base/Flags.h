#pragma once
// A set of the bits of one enum class. States combine with states and
// formats with formats, never one with the other, and the bits stay the
// values the design gives them, so nothing stored or drawn changes.
//
// An enum class E opts in by setting kIsFlagEnum<E>; Flags<E> is its set.

#include <type_traits>

namespace tabulon {

// Whether E's enumerators are bits that combine.
template <typename E>
inline constexpr bool kIsFlagEnum = false;

template <typename E>
class Flags {
public:
    using Bits = std::underlying_type_t<E>;

    constexpr Flags() = default;
    // One flag is a set of one (or none, for a flag whose value is 0).
    constexpr Flags(E flag) : m_bits(static_cast<Bits>(flag)) {}
    static constexpr Flags FromBits(Bits bits) {
        Flags flags;
        flags.m_bits = bits;
        return flags;
    }
    constexpr Bits ToBits() const { return m_bits; }

    // Whether any bit is set.
    constexpr explicit operator bool() const { return m_bits != 0; }
    constexpr bool operator!() const { return m_bits == 0; }

    constexpr Flags operator|(Flags other) const { return FromBits(m_bits | other.m_bits); }
    constexpr Flags operator&(Flags other) const { return FromBits(m_bits & other.m_bits); }
    constexpr Flags operator~() const { return FromBits(static_cast<Bits>(~m_bits)); }
    constexpr Flags& operator|=(Flags other) {
        m_bits |= other.m_bits;
        return *this;
    }
    constexpr Flags& operator&=(Flags other) {
        m_bits &= other.m_bits;
        return *this;
    }
    friend constexpr bool operator==(Flags, Flags) = default;

private:
    Bits m_bits = 0;
};

template <typename E>
requires kIsFlagEnum<E>
constexpr Flags<E> operator|(E a, E b) { return Flags<E>(a) | b; }
template <typename E>
requires kIsFlagEnum<E>
constexpr Flags<E> operator&(E a, Flags<E> b) { return Flags<E>(a) & b; }
template <typename E>
requires kIsFlagEnum<E>
constexpr Flags<E> operator~(E a) { return ~Flags<E>(a); }

}  // namespace tabulon
