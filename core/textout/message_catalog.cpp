#include "textout/message_catalog.h"

void MessageCatalog::Clear() {
    for (auto& texts : texts_)
        texts.clear();
}

void MessageCatalog::Add(int language, int id, std::string text) {
    if (language != LANGUAGE_ENGLISH && language != LANGUAGE_JAPANESE) return;
    texts_[language][id] = std::move(text);
}

std::string MessageCatalog::Text(int id) const {
    const int language = language_ == LANGUAGE_JAPANESE ? LANGUAGE_JAPANESE : LANGUAGE_ENGLISH;
    auto it = texts_[language].find(id);
    return it == texts_[language].end() ? std::string() : it->second;
}

MessageCatalog& GetMessageCatalog() {
    static MessageCatalog catalog = [] {
        MessageCatalog filled;
        AddStandardMessages(filled);
        return filled;
    }();
    return catalog;
}
