#pragma once

#include <memory>
#include <string>

#include "cli/arguments.h"
#include "cli/console_progress_bar.h"
#include "ports/midi_environment.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

// The MIDI side of `tq550 read` and `tq550 write`: the environment with its standard ports on the chosen
// MIDI system, the TQ-550 pair bound to the ports named on the command line (or, without them, to the
// stored setup and the automatic setup, as the desktop program does at start-up), the reader and writer on
// that pair, and the console progress. Closing the session closes every port.
class DeviceSession {
  public:
    // The session's environment reports to messages.
    explicit DeviceSession(TextOutHub& messages);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Builds and binds everything from the options --api, --in, --out and --device-id. Gives an exit
    // status; kExitSuccess when the transfer can start.
    int Open(const Arguments& arguments);

    AReader& Reader() { return *reader_; }
    CWriter& Writer() { return *writer_; }

  private:
    MidiEnvironment environment_;
    std::shared_ptr<CConsoleProgressBar> progress_;
    std::unique_ptr<AReader> reader_;
    std::unique_ptr<CWriter> writer_;
};

// The option words of the device commands.
extern const std::vector<std::string> kDeviceOptions;

// Chooses, among names, the one equal to wanted, else the only one containing it. Gives an empty text and
// an explanation in problem when there is none or more than one.
std::string ResolvePortName(const std::vector<std::string>& names, const std::string& wanted,
                            std::string& problem);
