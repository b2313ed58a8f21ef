// Component requests: a ComponentParameters block on the caller's stack,
// handed with the instance to the component call. The instance itself is not
// in the block.
#include "qtbinding/toolbox.h"

#include <cstring>

namespace {

ComponentResult MakeComponentRequest(ComponentInstance instance, int16_t what,
                                     const ComponentParamSlot* params, int count) {
    // Filled field by field (unused slots zero): a memset of the whole block
    // and then the fields cost more than the request's own work.
    ComponentParameters block;
    block.flags = 0;
    block.paramSize = uint8_t(count * sizeof(ComponentParamSlot));
    block.what = what;
    for (int i = 0; i < kMaxComponentParams; ++i) block.params[i] = i < count ? params[i] : 0;
    return CallComponent(instance, &block);
}

ComponentParamSlot Slot(const void* p) { return reinterpret_cast<ComponentParamSlot>(p); }

}  // namespace

ComponentResult TCGetTimeCodeAtTime(MediaHandler mh, TimeValue mediaTime, int32_t* frameNum,
                                    TimeCodeDef* tcdef, TimeCodeRecord* tcrec, void* sourceRefH) {
    const ComponentParamSlot params[5] = {ComponentParamSlot(mediaTime), Slot(frameNum), Slot(tcdef),
                                          Slot(tcrec), Slot(sourceRefH)};
    return MakeComponentRequest(mh, kTCGetTimeCodeAtTimeSelect, params, 5);
}

ComponentResult TCTimeCodeToString(MediaHandler mh, TimeCodeDef* tcdef, TimeCodeRecord* tcrec,
                                   unsigned char* tcStr) {
    const ComponentParamSlot params[3] = {Slot(tcdef), Slot(tcrec), Slot(tcStr)};
    return MakeComponentRequest(mh, kTCTimeCodeToStringSelect, params, 3);
}
