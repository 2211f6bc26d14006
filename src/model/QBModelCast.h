// A checked down-cast for the model's hot paths: the answer of dynamic_cast, remembered per
// dynamic type so that neither a type seen to convert nor one seen to fail is searched again.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <typeinfo>

namespace ModelCastDetail {

// One answer of a cast: for objects of dynamic type Type reached at Offset bytes from the
// start of the whole object, the cast moves the pointer by Delta bytes, or fails (CastFails).
// Type and Offset together fix where every part of that object sits, so the answer found once
// holds for each object with the same key. Under construction or destruction typeid and the
// whole object are those of the part being built, exactly what dynamic_cast decides by.
struct TCastAnswer {
    const std::type_info* Type = nullptr;
    std::ptrdiff_t Offset = 0;
    std::ptrdiff_t Delta = 0;
};

inline constexpr std::ptrdiff_t CastFails = PTRDIFF_MIN;

// The answers one cast has at hand. A key sits in its home slot or in the slot next to it.
inline constexpr unsigned CastSlots = 16;
using TCastSlots = std::atomic<const TCastAnswer*>[CastSlots];

// The lasting answer Delta for the key (Cast, Type, Offset), made on first request; the same
// record for the same key, so that slots never point at freed memory. Null when the store of
// answers is full (the caller then just does not remember). Safe to call from any thread.
const TCastAnswer* RecordCast(const void* Cast, const std::type_info* Type, std::ptrdiff_t Offset,
                              std::ptrdiff_t Delta);

// Type descriptions lie at least eight bytes apart; offsets are mostly zero.
inline unsigned CastSlot(const std::type_info* Type, std::ptrdiff_t Offset) {
    const auto type = reinterpret_cast<std::uintptr_t>(Type) >> 3;
    return static_cast<unsigned>((type ^ static_cast<std::uintptr_t>(Offset)) % CastSlots);
}

// The answer of Slot when it is the one for the key (Type, Offset); else null.
inline const TCastAnswer* AnswerIn(const std::atomic<const TCastAnswer*>& Slot,
                                   const std::type_info* Type, std::ptrdiff_t Offset) {
    const TCastAnswer* answer = Slot.load(std::memory_order_acquire);
    return answer && answer->Type == Type && answer->Offset == Offset ? answer : nullptr;
}

template <class From>
std::ptrdiff_t CastOffset(From* P) {
    return static_cast<const char*>(static_cast<const void*>(P)) -
           static_cast<const char*>(dynamic_cast<const void*>(P));
}

// Shared by all threads: a slot changes only from one lasting record to another.
template <class To, class From>
TCastSlots& SlotsFor() {
    static TCastSlots slots{};
    return slots;
}

template <class To>
To* Moved(const void* At, std::ptrdiff_t Delta) {
    if (Delta == CastFails) return nullptr;
    // Only deltas of real casts are remembered, so this lands on the To part of the object.
    void* const place = const_cast<char*>(static_cast<const char*>(At) + Delta);
    return static_cast<To*>(place);
}

// The slow half of ModelCast, kept out of line so that a remembered answer costs a few loads:
// a real dynamic_cast whose answer takes the home slot, the one it held moving next door.
template <class To, class From>
[[gnu::noinline]] To* CastAndRemember(From* P) {
    const std::type_info* type = &typeid(*P);
    const std::ptrdiff_t offset = CastOffset(P);
    To* result = dynamic_cast<To*>(P);
    const auto* const from = static_cast<const char*>(static_cast<const void*>(P));
    const auto* const to = static_cast<const char*>(static_cast<const void*>(result));
    const std::ptrdiff_t delta = result ? to - from : CastFails;
    TCastSlots& slots = SlotsFor<To, From>();
    if (const TCastAnswer* answer = RecordCast(&slots, type, offset, delta)) {
        const unsigned home = CastSlot(type, offset);
        if (const TCastAnswer* held = slots[home].load(std::memory_order_acquire))
            slots[home ^ 1].store(held, std::memory_order_release);
        slots[home].store(answer, std::memory_order_release);
    }
    return result;
}

}  // namespace ModelCastDetail

// To* when *P is a To (or derives from it); null otherwise. Same answer as dynamic_cast.
template <class To, class From>
To* ModelCast(From* P) {
    static_assert(std::is_polymorphic_v<From>, "ModelCast needs a polymorphic source type");
    static_assert(std::is_base_of_v<std::remove_cv_t<From>, std::remove_cv_t<To>>,
                  "ModelCast only casts down");
    using namespace ModelCastDetail;
    if (P == nullptr) return nullptr;
    const std::type_info* type = &typeid(*P);
    const std::ptrdiff_t offset = CastOffset(P);
    TCastSlots& slots = SlotsFor<To, From>();
    const unsigned home = CastSlot(type, offset);
    const TCastAnswer* answer = AnswerIn(slots[home], type, offset);
    if (!answer) answer = AnswerIn(slots[home ^ 1], type, offset);
    if (answer) return Moved<To>(P, answer->Delta);
    return CastAndRemember<To>(P);
}
