// A checked down-cast for the model's hot paths: the answer of dynamic_cast, with the
// dynamic types already seen to convert remembered so that they are not searched again.
#pragma once

#include <typeinfo>

// To* when *P is a To (or derives from it, without virtual inheritance); null otherwise.
template <class To, class From>
To* ModelCast(From* P) {
    if (P == nullptr) return nullptr;
    // The type seen for an object under construction or destruction is its current part,
    // exactly the type dynamic_cast decides by, so a remembered type always answers alike.
    thread_local const std::type_info* known[4] = {};
    thread_local unsigned next = 0;
    const std::type_info* type = &typeid(*P);
    for (const std::type_info* seen : known)
        if (seen == type) return static_cast<To*>(P);
    To* result = dynamic_cast<To*>(P);
    if (result != nullptr) known[next++ % 4] = type;
    return result;
}
