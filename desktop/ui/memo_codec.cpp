#include "ui/memo_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

bool IsValidUtf8(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

}  // namespace

void CMemoCodec::SetLanguage(int language) {
    language_ = language == 1 ? 1 : 0;
}

const char* CMemoCodec::LegacyCodePage() const {
    return language_ == 1 ? "Shift_JIS" : "windows-1252";
}

QString CMemoCodec::Decode(const std::string& bytes) const {
    if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder legacy(LegacyCodePage());
    if (!legacy.isValid()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return legacy(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string CMemoCodec::Encode(const QString& text) const {
    QStringEncoder legacy(LegacyCodePage());
    if (legacy.isValid()) {
        const QByteArray bytes = legacy(text);
        // A character the code page lacks comes back different (or flags an error): then UTF-8 it is. A
        // legacy form that is itself valid UTF-8 would read back as UTF-8, so it must be plain ASCII.
        QStringDecoder check(LegacyCodePage());
        const std::string stored(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!legacy.hasError() && check(bytes) == text &&
            (!IsValidUtf8(stored) || text == QString::fromUtf8(bytes)))
            return stored;
    }
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}
