// A small value type for parameter values: unassigned, null, integer, floating point,
// Boolean, date/time or string.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

// A calendar date and time of day; fields left at zero mean "no time" / "no date".
struct TDateTime {
    int Year = 0, Month = 0, Day = 0;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    bool HasDate() const { return Year != 0 || Month != 0 || Day != 0; }
    bool HasTime() const { return Hour != 0 || Minute != 0 || Second != 0 || Millisecond != 0; }
    bool operator==(const TDateTime&) const = default;
};

class TVariant {
public:
    struct Unassigned { bool operator==(const Unassigned&) const = default; };
    struct Null { bool operator==(const Null&) const = default; };

    TVariant() = default;
    static TVariant MakeNull() { TVariant v; v.FValue = Null{}; return v; }
    TVariant(std::int64_t value) : FValue(value) {}
    TVariant(int value) : FValue(static_cast<std::int64_t>(value)) {}
    TVariant(double value) : FValue(value) {}
    TVariant(bool value) : FValue(value) {}
    TVariant(const TDateTime& value) : FValue(value) {}
    TVariant(std::string value) : FValue(std::move(value)) {}
    TVariant(const char* value) : FValue(std::string(value)) {}

    bool IsUnassigned() const { return std::holds_alternative<Unassigned>(FValue); }
    bool IsNull() const { return std::holds_alternative<Null>(FValue); }
    bool IsInteger() const { return std::holds_alternative<std::int64_t>(FValue); }
    bool IsFloat() const { return std::holds_alternative<double>(FValue); }
    bool IsBoolean() const { return std::holds_alternative<bool>(FValue); }
    bool IsDateTime() const { return std::holds_alternative<TDateTime>(FValue); }
    bool IsString() const { return std::holds_alternative<std::string>(FValue); }

    std::int64_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    const TDateTime& AsDateTime() const { return std::get<TDateTime>(FValue); }

    // The value as text: integers in decimal, floats in the shortest form that reads back
    // exactly, Booleans as "True"/"False", date/times in the short formats
    // ("yyyy-mm-dd", "hh:nn:ss", both joined by a blank), unassigned and null as "".
    std::string AsString() const;

    bool operator==(const TVariant&) const = default;

private:
    std::variant<Unassigned, Null, std::int64_t, double, bool, TDateTime, std::string> FValue;
};

// Short date and time formats of the system.
std::string FormatShortDate(const TDateTime& value);
std::string FormatShortTime(const TDateTime& value);
