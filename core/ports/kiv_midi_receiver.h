#pragma once

#include "device/long_message.h"
#include "device/marlin_message.h"
#include "midi/short_message.h"

// What a logical input port hands its accepted messages to (the requester and the readers built on it).
// The results are for the receiver's own use; the port ignores them.
class IKivMidiReceiver {
  public:
    virtual ~IKivMidiReceiver() = default;
    virtual bool OnShortMessage(ShortMessage message) = 0;
    virtual bool OnUniversalMessage(const CKivLongMessage& message) = 0;
    virtual bool OnDataSet(const CKivMarlinMessage& message) = 0;
};
