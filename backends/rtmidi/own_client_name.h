#pragma once

#include <string>

// Every client that this program opens on a MIDI system for a port of its own is named with this prefix,
// so that its own ports can be left out of the lists of ports offered.
inline const std::string kOwnClientPrefix = "TQ-550 Librarian ";

// A new name with the prefix: the process id and a counter keep JACK from renaming a client.
std::string OwnClientName();
