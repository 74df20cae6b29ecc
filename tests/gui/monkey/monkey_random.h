#pragma once

#include <QString>
#include <cstdint>
#include <random>
#include <vector>

// The one source of chance of a monkey run: everything it does follows from the seed.
class CMonkeyRandom {
  public:
    explicit CMonkeyRandom(std::uint64_t seed) : engine_(seed) {}

    // A whole number from low to high, both included (low when high < low).
    int Int(int low, int high) {
        if (high <= low) return low;
        return std::uniform_int_distribution<int>(low, high)(engine_);
    }
    bool Chance(double probability) {
        return std::uniform_real_distribution<double>(0, 1)(engine_) < probability;
    }
    template <class T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Int(0, static_cast<int>(items.size()) - 1))];
    }
    // An index chosen by weight.
    std::size_t Weighted(const std::vector<int>& weights) {
        return std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(engine_);
    }

    // Text a user might type into a name or memo: valid names, too long ones, control characters, accented
    // and Japanese letters, characters outside the Basic Multilingual Plane, and long memos.
    QString Text() {
        switch (Int(0, 9)) {
            case 0:
                return QString();
            case 1:
                return Ascii(Int(1, 16));
            case 2:
                return Ascii(Int(17, 40));
            case 3:
                return QString::fromUtf8("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 ") +
                       Ascii(Int(0, 8));  // テスト
            case 4:
                return QString::fromUtf8("caf\xC3\xA9 \xC3\xBC\xC3\xB1\xC3\xAF") + Ascii(Int(0, 4));
            case 5:
                return QString::fromUtf8("\xF0\x9F\x8E\xB8 \xF0\x9D\x84\x9E") + QChar(0x0301) + Ascii(2);
            case 6: {
                QString text;
                for (int i = Int(1, 12); i > 0; --i)
                    text += QChar(static_cast<char16_t>(Int(1, 31)));
                return text + Ascii(3);
            }
            case 7: {
                // A long memo of mixed scripts.
                QString text;
                const int length = Int(200, 3000);
                while (text.size() < length)
                    text += Chance(0.5) ? Ascii(Int(1, 20)) : QString::fromUtf8("\xE9\x9F\xB3\xE8\x89\xB2 ");
                return text;
            }
            case 8:
                // Half-width katakana and the yen sign: Shift-JIS fits them, Windows-1252 does not.
                return QString::fromUtf8("\xEF\xBD\xB1\xEF\xBD\xB2\xC2\xA5") + Ascii(Int(0, 6));
            default:
                return QStringLiteral("EDIT %1").arg(Int(0, 999));
        }
    }

    // A short search text: a letter or two that names and memos often hold, or any text.
    QString SearchText() {
        static const std::vector<QString> common = {QStringLiteral("E"),    QStringLiteral("U0"),
                                                    QStringLiteral("MAIN"), QStringLiteral("1"),
                                                    QStringLiteral(" "),    QStringLiteral("memo")};
        return Chance(0.6) ? Pick(common) : Text().left(Int(1, 6));
    }

    QString Ascii(int length) {
        QString text;
        for (int i = 0; i < length; ++i)
            text += QChar(static_cast<char16_t>(Int(0x20, 0x7E)));
        return text;
    }

  private:
    std::mt19937_64 engine_;
};
