// The lasting store of the down-cast answers that ModelCast keeps at hand.
#include "model/QBModelCast.h"

#include <mutex>

namespace {

// Far more than the model's classes can use: a key is one cast of one class at one place.
constexpr std::size_t CastRecordCapacity = 1024;

struct TCastRecord {
    const void* Cast = nullptr;
    ModelCastDetail::TCastAnswer Answer;
};

// Never freed: a slot may point at a record until the program ends.
TCastRecord records[CastRecordCapacity];
std::size_t recordCount = 0;
std::mutex recordLock;

}  // namespace

const ModelCastDetail::TCastAnswer* ModelCastDetail::RecordCast(const void* Cast,
                                                                const std::type_info* Type,
                                                                std::ptrdiff_t Offset,
                                                                std::ptrdiff_t Delta) {
    const std::lock_guard<std::mutex> guard(recordLock);
    for (std::size_t i = 0; i < recordCount; ++i) {
        const TCastRecord& record = records[i];
        if (record.Cast == Cast && record.Answer.Type == Type && record.Answer.Offset == Offset)
            return &record.Answer;
    }
    if (recordCount == CastRecordCapacity) return nullptr;
    TCastRecord& record = records[recordCount++];
    record.Cast = Cast;
    record.Answer = TCastAnswer{Type, Offset, Delta};
    return &record.Answer;
}
