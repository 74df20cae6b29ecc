#include "gp/util/font_ex.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "settings/settings_store.h"

namespace GP {

namespace {

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

int ColorRef(const QColor& color) {
    return color.red() | color.green() << 8 | color.blue() << 16;
}

QColor FromColorRef(int value) {
    return QColor(value & 0xFF, value >> 8 & 0xFF, value >> 16 & 0xFF);
}

}  // namespace

void CFontEx::SetFont(const QFont& font) {
    font_ = font;
    hasFont_ = true;
}

void CFontEx::Load(const ISettingsStore& settings, const Profile::CFontValue& value) {
    if (hasFont_) return;
    const std::string face = value.face.Read(&settings).toStdString();
    const std::string attributes = value.attribute.Read(&settings).toStdString();
    if (face.empty() || attributes.empty() || !ParseAttributes(attributes, face))
        SetFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    color_ = FromColorRef(value.color.Read(&settings));
}

void CFontEx::Save(ISettingsStore& settings, const Profile::CFontValue& value) const {
    if (!hasFont_) return;
    value.face.Write(&settings, font_.family());
    value.attribute.Write(&settings, QString::fromStdString(AttributeText()));
    value.color.Write(&settings, ColorRef(color_));
}

std::string CFontEx::AttributeText() const {
    // A negative height is the character height in pixels.
    const int pixels = font_.pixelSize() > 0
                           ? font_.pixelSize()
                           : static_cast<int>(std::lround(font_.pointSizeF() * ScreenDpi() / 72.0));
    const std::array<int, kAttributeCount> numbers = {-pixels,
                                                      0,
                                                      0,
                                                      0,
                                                      static_cast<int>(font_.weight()),
                                                      font_.italic() ? 1 : 0,
                                                      font_.underline() ? 1 : 0,
                                                      font_.strikeOut() ? 1 : 0,
                                                      extra_[0],
                                                      extra_[1],
                                                      extra_[2],
                                                      extra_[3],
                                                      extra_[4]};
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i) text += ',';
        text += std::to_string(numbers[i]);
    }
    return text;
}

bool CFontEx::ParseAttributes(const std::string& text, const std::string& face) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(','));
    std::array<int, kAttributeCount> numbers = {0, 0, 0, 0, 400, 0, 0, 0, 128, 3, 2, 0, 49};
    int count = 0;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || count >= kAttributeCount) break;
        numbers[static_cast<std::size_t>(count++)] = value;
    }
    if (count == 0) return false;
    QFont font(QString::fromStdString(face));
    const int height = numbers[0];
    if (height < 0)
        font.setPixelSize(-height);
    else if (height > 0)
        font.setPixelSize(height);
    if (numbers[4] > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(numbers[4], 1, 1000)));
    font.setItalic(numbers[5] != 0);
    font.setUnderline(numbers[6] != 0);
    font.setStrikeOut(numbers[7] != 0);
    for (std::size_t i = 0; i < extra_.size(); ++i)
        extra_[i] = numbers[8 + i];
    SetFont(font);
    return true;
}

}  // namespace GP
