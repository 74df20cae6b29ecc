#pragma once

#include <map>
#include <string>

// Ids of the messages the program builds in code. Ids 1, 6 and 11 are not used.
enum MessageId : int {
    MSG_FILE_IN_USE = 0,
    MSG_CONNECTION_PROBLEM = 2,
    MSG_UNKNOWN_FILE_TYPE = 3,
    MSG_LOAD_FAILED = 4,
    MSG_SAVE_FAILED = 5,
    MSG_DEVICES_DISCONNECTED = 7,
    MSG_DEVICES_RECONNECTED = 8,
    MSG_MANUAL_PATH = 9,
    MSG_DONT_SHOW_AGAIN = 10,
    MSG_NOT_SET_UP = 12,
    MSG_GETTING_DATA = 13,
    MSG_CONFIRM_IMPORT_SMF = 14,
    MSG_CONFIRM_READ_TEMPORARY = 15,
    MSG_CONFIRM_READ_USER = 16,
    MSG_SYNCHRONIZING = 17,
    MSG_UNDEFINED_ERROR = 18,
    MSG_CONFIRM_WRITE_TEMPORARY = 19,
    MSG_CONFIRM_WRITE_USER = 20,
    MSG_SYX_NO_PATCH = 21,
    MSG_SYX_TRUNCATED = 22,
    MSG_SYX_BAD_CHECKSUM = 23,
    MSG_SYX_TOO_MANY = 24,
    MSG_HISTORY_NOT_KEPT = 25,
    MSG_SYX_INCOMPLETE = 26,  // "%1" is the slot: "U03-2" or "Temporary"
    MSG_COLLECTION_DAMAGED = 27,
    MSG_COLLECTION_LOCKED = 28,
    MSG_COLLECTION_NEWER = 29,
    MSG_COLLECTION_CANNOT_OPEN = 30,
    MSG_COLLECTION_UNAVAILABLE = 31,
    MSG_COLLECTION_NOT_CHANGED = 32,
};

enum MessageLanguage : int { LANGUAGE_ENGLISH = 0, LANGUAGE_JAPANESE = 1 };

// Maps (language, message id) to text, in English and Japanese. Texts are UTF-8.
class MessageCatalog {
  public:
    void Clear();
    void Add(int language, int id, std::string text);
    void SetLanguage(int language) { language_ = language; }
    int GetLanguage() const { return language_; }
    // The text of id in the current language; empty when it is not present.
    std::string Text(int id) const;

  private:
    int language_ = LANGUAGE_ENGLISH;
    std::map<int, std::string> texts_[2];
};

// Clears the catalogue and stores every message in both languages.
void AddStandardMessages(MessageCatalog& catalog);

// The process-wide catalogue, made on first use and filled with the standard messages.
MessageCatalog& GetMessageCatalog();
