#include "setup/auto_midi_setup.h"

bool CKivAutoMidiSetupper::Run() {
    bool bound = false;
    if (environment_.InPortCount() > 0 && !environment_.InPortOf(environment_.InPort(0))) {
        for (const std::string& name : setup_->ListInPorts()) {
            if (!MatchesIn(name)) continue;
            setup_->BindIn(environment_.InPort(0), name);
            bound = true;
            break;
        }
    }
    if (environment_.OutPortCount() > 0 && !environment_.OutPort(0).GetDevice()) {
        for (const std::string& name : setup_->ListOutPorts()) {
            if (!MatchesOut(name)) continue;
            setup_->BindOut(environment_.OutPort(0), name);
            bound = true;
            break;
        }
    }
    return bound;
}

bool LoadAndAutoSetup(CMidiSetup& setup) {
    setup.Load();
    CKivAutoMidiSetupperA automatic(std::make_unique<CAutoMidiSetup>(setup), setup.Environment(),
                                    kDevicePortPattern, kDevicePortPattern);
    const bool bound = automatic.Run();
    if (bound) setup.Save();
    return bound;
}
