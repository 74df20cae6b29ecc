#include "collection/sound.h"

#include <chrono>
#include <cstdio>
#include <ctime>

std::string SlotText(int slot) {
    if (slot == kTemporarySlot) return "Temporary";
    return UserPatchLabel(slot);
}

std::string LocalTimeText(CollectionTime time, char separator) {
    const auto seconds = static_cast<std::time_t>(time);
    std::tm local{};
#ifdef _WIN32
    if (::localtime_s(&local, &seconds) != 0) return {};
#else
    if (!::localtime_r(&seconds, &local)) return {};
#endif
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, separator, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

CollectionTime CollectionNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}
