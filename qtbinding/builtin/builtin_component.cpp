// Media handlers and the component call. A timecode media's handler answers
// the timecode-at-time, timecode-to-string and frame-number-to-timecode
// requests; every other media's handler answers each request with
// badComponentSelector.
#include <new>

#include "qtbinding/builtin/builtin_status.h"
#include "qtbinding/builtin/builtin_store.h"
#include "qtbinding/builtin/timecode_record.h"

namespace {

template <typename T>
T* SlotPointer(ComponentParamSlot slot) {
    return reinterpret_cast<T*>(slot);
}

ComponentResult TimeCodeAtTimeRequest(ComponentInstanceRecord* h, const ComponentParameters& p) {
    if (p.paramSize != 5 * sizeof(ComponentParamSlot)) return paramErr;
    // The time travels in a whole slot; only its low 32 bits are the time.
    TimeValue time = int32_t(uint32_t(uintptr_t(p.params[0])));
    const MediaRecord* media = h->media;
    return TimecodeAtTime(media->file, *media->model, media->mxf, &h->cache, time, SlotPointer<int32_t>(p.params[1]),
                          SlotPointer<TimeCodeDef>(p.params[2]), SlotPointer<TimeCodeRecord>(p.params[3]));
}

ComponentResult TimeCodeToStringRequest(const ComponentParameters& p) {
    if (p.paramSize != 3 * sizeof(ComponentParamSlot)) return paramErr;
    const TimeCodeDef* def = SlotPointer<TimeCodeDef>(p.params[0]);
    const TimeCodeRecord* rec = SlotPointer<TimeCodeRecord>(p.params[1]);
    unsigned char* str = SlotPointer<unsigned char>(p.params[2]);
    if (!def || !rec || !str) return paramErr;
    return RecordToString(*def, *rec, str);
}

// The record of a frame number under the definition handed in.
ComponentResult FrameNumberToTimeCodeRequest(const ComponentParameters& p) {
    if (p.paramSize != 3 * sizeof(ComponentParamSlot)) return paramErr;
    const int32_t frameNumber = int32_t(uint32_t(uintptr_t(p.params[0])));
    const TimeCodeDef* def = SlotPointer<TimeCodeDef>(p.params[1]);
    TimeCodeRecord* rec = SlotPointer<TimeCodeRecord>(p.params[2]);
    if (!def || !rec) return paramErr;
    int32_t shown;
    return FrameCountToRecord(*def, frameNumber, rec, &shown);
}

}  // namespace

extern "C" MediaHandler GetMediaHandler(Media theMedia) {
    MediaRecord* m = LiveMedia(theMedia);
    if (!m) return nullptr;
    if (m->handler) return m->handler;
    BuiltinStore& s = Store();
    try {
        s.handlers.emplace_back(new ComponentInstanceRecord);
        ComponentInstanceRecord* h = s.handlers.back().get();
        h->media = m;
        h->timecode = m->model->type == TimeCodeMediaType;
        Register(h, StoreKind::Handler);
        m->handler = h;
        return h;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

extern "C" ComponentResult CallComponent(ComponentInstance instance, ComponentParameters* params) {
    ComponentInstanceRecord* h = LiveHandler(instance);
    if (!h) return badComponentInstance;
    if (!params) return paramErr;
    if (!h->timecode) return badComponentSelector;
    switch (params->what) {
        case kTCGetTimeCodeAtTimeSelect:
            return TimeCodeAtTimeRequest(h, *params);
        case kTCTimeCodeToStringSelect:
            return TimeCodeToStringRequest(*params);
        case kTCFrameNumberToTimeCodeSelect:
            return FrameNumberToTimeCodeRequest(*params);
        default:
            return badComponentSelector;
    }
}
