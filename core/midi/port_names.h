#pragma once

#include <string>
#include <vector>

// The names under which a MIDI system's ports are offered, made from the names the system gives them, in
// the same order: with stripNumbers, a trailing " client:port" pair of numbers (which the ALSA sequencer
// hands out anew each time a program starts) is cut off, and a name that then occurs a second time gets
// " #2", a third time " #3", and so on. Ports whose names begin with ownPrefix (the program's own clients)
// get an empty name: they are not offered.
std::vector<std::string> OfferedPortNames(const std::vector<std::string>& systemNames, bool stripNumbers,
                                          const std::string& ownPrefix);
