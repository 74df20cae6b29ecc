#include "e2e_support.h"

CProgramSide::CProgramSide() {
    environment.SetFactory(std::make_unique<CNormalMidiDeviceFactory>(MidiApiChoice::Jack));
    environment.SetNoticeSink(notices);
    environment.BuildStandardPorts();
    In().SetReceiver(&receiver);
}

bool CProgramSide::BindToProcessor() {
    environment.ClearBindings();
    IMidiDeviceFactory& factory = environment.Factory();
    const std::string pattern = "VELA TQ-550";
    for (const std::string& name : ListInPortNames(factory)) {
        if (name.find(pattern) == std::string::npos) continue;
        CKivMidiInDevice* device = environment.AddInDevice(environment.CreateInDevice(name));
        if (device) device->Bind(In());
        break;
    }
    for (const std::string& name : ListOutPortNames(factory)) {
        if (name.find(pattern) == std::string::npos) continue;
        Out().SetDevice(environment.AddOutDevice(environment.CreateOutDevice(name)));
        break;
    }
    return environment.InPortOf(In()) && Out().GetDevice();
}

bool CProgramSide::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        environment.PumpWait(In());
    }
    return true;
}
