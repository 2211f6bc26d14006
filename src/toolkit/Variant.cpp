// Conversions of TVariant values to text and numbers.
#include "toolkit/Variant.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

std::int64_t TVariant::AsInteger() const {
    if (IsInteger()) return std::get<std::int64_t>(FValue);
    if (IsFloat()) return static_cast<std::int64_t>(std::get<double>(FValue));
    if (IsBoolean()) return std::get<bool>(FValue) ? 1 : 0;
    if (IsString()) return std::strtoll(std::get<std::string>(FValue).c_str(), nullptr, 10);
    return 0;
}

double TVariant::AsFloat() const {
    if (IsFloat()) return std::get<double>(FValue);
    if (IsInteger()) return static_cast<double>(std::get<std::int64_t>(FValue));
    if (IsBoolean()) return std::get<bool>(FValue) ? 1.0 : 0.0;
    if (IsString()) return std::strtod(std::get<std::string>(FValue).c_str(), nullptr);
    return 0.0;
}

bool TVariant::AsBoolean() const {
    if (IsBoolean()) return std::get<bool>(FValue);
    if (IsInteger()) return std::get<std::int64_t>(FValue) != 0;
    if (IsFloat()) return std::get<double>(FValue) != 0.0;
    if (IsString()) {
        const std::string& s = std::get<std::string>(FValue);
        return s == "1" || s == "True" || s == "true" || s == "TRUE";
    }
    return false;
}

std::string FormatShortDate(const TDateTime& value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", value.Year, value.Month, value.Day);
    return buffer;
}

std::string FormatShortTime(const TDateTime& value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", value.Hour, value.Minute, value.Second);
    return buffer;
}

std::string TVariant::AsString() const {
    if (IsString()) return std::get<std::string>(FValue);
    if (IsInteger()) return std::to_string(std::get<std::int64_t>(FValue));
    if (IsBoolean()) return std::get<bool>(FValue) ? "True" : "False";
    if (IsFloat()) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::get<double>(FValue));
        return std::string(buffer, result.ptr);
    }
    if (IsDateTime()) {
        const TDateTime& dt = std::get<TDateTime>(FValue);
        if (dt.HasDate() && dt.HasTime()) return FormatShortDate(dt) + " " + FormatShortTime(dt);
        if (dt.HasTime()) return FormatShortTime(dt);
        return FormatShortDate(dt);
    }
    return {};
}
