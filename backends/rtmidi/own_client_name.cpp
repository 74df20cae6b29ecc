#include "rtmidi/own_client_name.h"

#include <unistd.h>

#include <atomic>

std::string OwnClientName() {
    static std::atomic<int> counter{0};
    return kOwnClientPrefix + std::to_string(static_cast<long>(getpid())) + "-" + std::to_string(++counter);
}
