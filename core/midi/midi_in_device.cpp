#include "midi/midi_in_device.h"

#include "midi/short_message.h"

void CMidiInDeviceA::Pump() {
    if (portsChanged_.exchange(false)) {
        if (IMidiPortOwner* owner = Owner())
            owner->OnPortsChanged();
        else if (TakeConnectionChanged() && !Connected())
            ReopenPort();
    }
    // Deliver what is there now; what arrives meanwhile waits for the next pump. A delivery may pump again
    // (a receiver waiting for more), which simply takes the following messages.
    for (std::size_t pending = delivery_.Used(); pending > 0;) {
        CMidiDeliveryRing::Kind kind;
        std::vector<std::uint8_t> bytes;
        if (!delivery_.Pop(kind, bytes)) return;
        pending = pending > bytes.size() + 3 ? pending - bytes.size() - 3 : 0;
        if (kind == CMidiDeliveryRing::Kind::Short) {
            const std::uint8_t status = bytes.empty() ? 0 : bytes[0];
            if ((status >= 0xF1 && status <= 0xF6) || status >= 0xF8) continue;
        }
        DeliverToBound(bytes);
    }
}

void CMidiInDeviceA::NotifyPortsChanged() {
    portsChanged_.store(true);
    arrival_.Notify();
}

bool CMidiInDeviceA::Post(CMidiDeliveryRing::Kind kind, std::span<const std::uint8_t> bytes) {
    if (!delivery_.Push(kind, bytes)) return false;
    arrival_.Notify();
    return true;
}

bool CMidiInDevice::Create() {
    return OpenByName(Name()) && Start();
}

bool CMidiInDevice::ReopenPort() {
    return Reopen(Name()) && Start();
}

void CMidiInDevice::Shutdown() {
    Stop();
    Close();
}

bool CMidiInDevice::OnShortData(std::uint32_t packed) {
    const ShortMessage message(packed);
    const std::uint8_t bytes[3] = {message.Status(), message.Data1(), message.Data2()};
    const auto length = static_cast<std::size_t>(ShortMessage::LengthOf(message.Status()));
    return Post(CMidiDeliveryRing::Kind::Short, std::span<const std::uint8_t>(bytes, length));
}

bool CMidiInDevice::OnLongData(std::span<const std::uint8_t> bytes) {
    return Post(CMidiDeliveryRing::Kind::Long, bytes);
}
