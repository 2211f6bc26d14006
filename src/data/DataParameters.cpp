// Parameter list operations.
#include "data/DataParameters.h"

#include "data/DataError.h"
#include "resources/QBResource.h"

#include <algorithm>

TDataParameter& TDataParameters::AddParameter() {
    FItems.push_back(std::make_unique<TDataParameter>());
    return *FItems.back();
}

TDataParameter& TDataParameters::Add(std::string name, TFieldType dataType, TParamType direction) {
    FItems.push_back(std::make_unique<TDataParameter>(std::move(name), dataType, direction));
    return *FItems.back();
}

TDataParameter& TDataParameters::AddCopy(const TDataParameter& source) {
    FItems.push_back(std::make_unique<TDataParameter>(source));
    return *FItems.back();
}

void TDataParameters::Assign(const TDataParameters& source) {
    std::vector<std::unique_ptr<TDataParameter>> copy;
    copy.reserve(source.FItems.size());
    for (const auto& item : source.FItems) copy.push_back(std::make_unique<TDataParameter>(*item));
    FItems = std::move(copy);
}

void TDataParameters::Delete(int index) {
    Items(index);
    FItems.erase(FItems.begin() + index);
}

TDataParameter& TDataParameters::Items(int index) {
    if (index < 0 || index >= Count())
        throw EDataError(FormatMessage(QBResource::SDataParamIndex, std::to_string(index)));
    return *FItems[static_cast<std::size_t>(index)];
}

const TDataParameter& TDataParameters::Items(int index) const {
    return const_cast<TDataParameters*>(this)->Items(index);
}

TDataParameter* TDataParameters::FindParam(const std::string& name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const auto& item : FItems) {
        const std::string& other = item->Name;
        if (other.size() == name.size() &&
            std::equal(other.begin(), other.end(), name.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return item.get();
    }
    return nullptr;
}

TDataParameter& TDataParameters::ParamByName(const std::string& name) {
    if (auto* found = FindParam(name)) return *found;
    throw EDataError(FormatMessage(QBResource::SDataNoParameter, name));
}
