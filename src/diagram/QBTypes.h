// Small value types shared by the query-builder control and the diagram: colours, the
// option and tab sets, and the enumerations of the control's published properties.
#pragma once

#include <cstdint>
#include <initializer_list>

// A colour: red in the low byte, then green, then blue. With the high byte 255 the low
// byte is a system colour index instead (see ColorToQColor in diagram/QBColor.h).
using TColor = std::uint32_t;

inline constexpr TColor clSystemColor = 0xFF000000u;
inline constexpr TColor clBlack = 0x000000u;
inline constexpr TColor clWhite = 0xFFFFFFu;
inline constexpr TColor clNavy = 0x800000u;
inline constexpr TColor clSilver = 0xC0C0C0u;
inline constexpr TColor clInfoBk = clSystemColor | 24u;
inline constexpr TColor clBtnFace = clSystemColor | 15u;

// Builds a colour from its components.
constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// A set over a small enumeration, stored as bits (member n is bit n).
template <typename E>
class TQBSet {
public:
    constexpr TQBSet() = default;
    constexpr TQBSet(std::initializer_list<E> members) {
        for (E m : members) FBits |= Bit(m);
    }
    constexpr bool Contains(E m) const { return (FBits & Bit(m)) != 0; }
    constexpr TQBSet& Include(E m) { FBits |= Bit(m); return *this; }
    constexpr TQBSet& Exclude(E m) { FBits &= ~Bit(m); return *this; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint32_t Bits() const { return FBits; }
    constexpr bool operator==(const TQBSet&) const = default;

private:
    static constexpr std::uint32_t Bit(E m) { return 1u << static_cast<unsigned>(m); }
    std::uint32_t FBits = 0;
};

enum TQBOption : std::uint8_t { qboRowSelect, qboDragFieldName, qboHideSelection, qboShowFieldTypes };
using TQBOptions = TQBSet<TQBOption>;

enum TQBVisibleTab : std::uint8_t { qbtCriterions, qbtSelection, qbtGroupCriterions, qbtSorting };
using TQBVisibleTabs = TQBSet<TQBVisibleTab>;

enum TQBAction : std::uint8_t { qbaAdd, qbaRemove };
enum TQBStorageType : std::uint8_t { qstNone, qstIniFile, qstRegistry };
enum TQBButtonStyle : std::uint8_t { qbsFlat, qbs3DLook, qbsRaise };
enum TQBBorderKind : std::uint8_t { qbkBump, qbkEtched, qbkRaised, qbkSunken };
// Where a drag stands relative to a control it passes over.
enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
