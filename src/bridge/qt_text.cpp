#include "bridge/qt_text.hpp"

#include <QList>
#include <vector>

namespace quorvel {

QString ToQString(TextView text) {
    std::vector<char32_t> shown(text.begin(), text.end());
    for (char32_t& c : shown) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = 0xFFFD;
        }
    }
    return QString::fromUcs4(shown.data(), static_cast<qsizetype>(shown.size()));
}

Text FromQString(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return Text(ucs4.begin(), ucs4.end());
}

} // namespace quorvel
