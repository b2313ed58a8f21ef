// Component requests: a ComponentParameters block on the caller's stack,
// handed with the instance to the component call. The instance itself is not
// in the block.
#include "qtbinding/toolbox.h"

namespace {

// A block with every parameter slot 0, then the header of a request of
// `count` parameters.
ComponentParameters StartRequest(int16_t what, int count) {
    ComponentParameters block{};
    block.paramSize = uint8_t(count * sizeof(ComponentParamSlot));
    block.what = what;
    return block;
}

ComponentParamSlot Slot(const void* p) { return reinterpret_cast<ComponentParamSlot>(p); }

}  // namespace

ComponentResult TCGetTimeCodeAtTime(MediaHandler mh, TimeValue mediaTime, int32_t* frameNum,
                                    TimeCodeDef* tcdef, TimeCodeRecord* tcrec, void* sourceRefH) {
    ComponentParameters block = StartRequest(kTCGetTimeCodeAtTimeSelect, 5);
    block.params[0] = ComponentParamSlot(mediaTime);
    block.params[1] = Slot(frameNum);
    block.params[2] = Slot(tcdef);
    block.params[3] = Slot(tcrec);
    block.params[4] = Slot(sourceRefH);
    return CallComponent(mh, &block);
}

ComponentResult TCTimeCodeToString(MediaHandler mh, TimeCodeDef* tcdef, TimeCodeRecord* tcrec,
                                   unsigned char* tcStr) {
    ComponentParameters block = StartRequest(kTCTimeCodeToStringSelect, 3);
    block.params[0] = Slot(tcdef);
    block.params[1] = Slot(tcrec);
    block.params[2] = Slot(tcStr);
    return CallComponent(mh, &block);
}

ComponentResult TCFrameNumberToTimeCode(MediaHandler mh, int32_t frameNumber, TimeCodeDef* tcdef,
                                        TimeCodeRecord* tcrec) {
    ComponentParameters block = StartRequest(kTCFrameNumberToTimeCodeSelect, 3);
    block.params[0] = ComponentParamSlot(frameNumber);
    block.params[1] = Slot(tcdef);
    block.params[2] = Slot(tcrec);
    return CallComponent(mh, &block);
}
