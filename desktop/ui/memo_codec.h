#pragma once

#include <QString>
#include <string>

// Memo bytes as text. Memos are byte strings in library files and stay byte for byte unless the user edits
// them. They are shown as UTF-8 when the bytes are valid UTF-8, otherwise in the legacy code page of the
// interface language (Windows-1252 in English, Shift-JIS in Japanese), so that files written on systems that
// used those code pages read correctly. An edited memo is stored in that legacy code page when every
// character fits, else as UTF-8.
class CMemoCodec {
  public:
    // language: 0 English, 1 Japanese (the message catalogue's numbers).
    explicit CMemoCodec(int language = 0) { SetLanguage(language); }

    void SetLanguage(int language);
    const char* LegacyCodePage() const;

    QString Decode(const std::string& bytes) const;
    std::string Encode(const QString& text) const;

  private:
    int language_ = 0;
};
