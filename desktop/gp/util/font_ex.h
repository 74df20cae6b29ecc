#pragma once
#include "gp/util/settings_catalog.h"

#include <QColor>
#include <QFont>
#include <array>
#include <string>

class ISettingsStore;

namespace GP {

// A font with a text colour, kept in the settings under a section and a prefix: "<prefix>FaceName" (the
// face), "<prefix>Attribute" (the thirteen numbers of a logical font: height, width, escapement,
// orientation, weight, italic, underline, strike-out, character set, output precision, clip precision,
// quality, pitch and family, joined by ",") and "<prefix>Color" (0x00BBGGRR). The numbers this platform
// has no use for are kept as read, so that a stored font goes back unchanged.
class CFontEx {
  public:
    static constexpr int kAttributeCount = 13;

    // Loads once: while no font is held. Without a stored face and attribute text it takes the system's
    // default user-interface font; the colour defaults to 0 (black).
    void Load(const ISettingsStore& settings, const Profile::CFontValue& value);
    // Saves when a font is held.
    void Save(ISettingsStore& settings, const Profile::CFontValue& value) const;

    bool HasFont() const { return hasFont_; }
    const QFont& Font() const { return font_; }
    const QColor& Color() const { return color_; }
    void SetFont(const QFont& font);
    void SetColor(const QColor& color) { color_ = color; }

    // The attribute text of the font held.
    std::string AttributeText() const;
    // Reads an attribute text into a font (missing numbers keep the defaults); false when it holds fewer
    // than one number.
    bool ParseAttributes(const std::string& text, const std::string& face);

  private:
    QFont font_;
    QColor color_ = Qt::black;
    bool hasFont_ = false;
    // Character set, output precision, clip precision, quality, pitch and family: kept as read.
    std::array<int, 5> extra_ = {128, 3, 2, 0, 49};
};

}  // namespace GP
