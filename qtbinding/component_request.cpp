// Component requests: a ComponentParameters block on the caller's stack,
// handed with the instance to the component call. The instance itself is not
// in the block.
#include "qtbinding/toolbox.h"

namespace {

// The block's header, and zero in the slots past the first `count`. Each
// caller then stores its parameters straight into those slots: gathering
// them in an array first and copying that over made the copy's wide loads
// wait on the narrow stores just made, which cost more than the whole request.
void StartRequest(ComponentParameters& block, int16_t what, int count) {
    block.flags = 0;
    block.paramSize = uint8_t(count * sizeof(ComponentParamSlot));
    block.what = what;
    for (int i = count; i < kMaxComponentParams; ++i) block.params[i] = 0;
}

ComponentParamSlot Slot(const void* p) { return reinterpret_cast<ComponentParamSlot>(p); }

}  // namespace

ComponentResult TCGetTimeCodeAtTime(MediaHandler mh, TimeValue mediaTime, int32_t* frameNum,
                                    TimeCodeDef* tcdef, TimeCodeRecord* tcrec, void* sourceRefH) {
    ComponentParameters block;
    StartRequest(block, kTCGetTimeCodeAtTimeSelect, 5);
    block.params[0] = ComponentParamSlot(mediaTime);
    block.params[1] = Slot(frameNum);
    block.params[2] = Slot(tcdef);
    block.params[3] = Slot(tcrec);
    block.params[4] = Slot(sourceRefH);
    return CallComponent(mh, &block);
}

ComponentResult TCTimeCodeToString(MediaHandler mh, TimeCodeDef* tcdef, TimeCodeRecord* tcrec,
                                   unsigned char* tcStr) {
    ComponentParameters block;
    StartRequest(block, kTCTimeCodeToStringSelect, 3);
    block.params[0] = Slot(tcdef);
    block.params[1] = Slot(tcrec);
    block.params[2] = Slot(tcStr);
    return CallComponent(mh, &block);
}
