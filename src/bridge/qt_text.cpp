#include "bridge/qt_text.hpp"

#include "engine/codec.hpp"

#include <QList>
#include <algorithm>
#include <vector>

namespace quorvel {

QString ToQString(TextView text) {
    // Most names are made of characters of the Basic Multilingual Plane: one UTF-16
    // unit each, written in place.
    if (std::all_of(text.begin(), text.end(),
                    [](char32_t c) { return c < 0xD800 || (c > 0xDFFF && c <= 0xFFFF); })) {
        QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
        std::transform(text.begin(), text.end(), out.data(),
                       [](char32_t c) { return static_cast<char16_t>(c); });
        return out;
    }
    std::vector<char32_t> shown(text.begin(), text.end());
    for (char32_t& c : shown) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = 0xFFFD;
        }
    }
    return QString::fromUcs4(shown.data(), static_cast<qsizetype>(shown.size()));
}

QString NameToQString(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return ToQString(DecodeName(bytes));
}

Text FromQString(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return Text(ucs4.begin(), ucs4.end());
}

} // namespace quorvel
