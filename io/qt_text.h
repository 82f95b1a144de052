// The engine and the books speak UTF-16 in std::u16string; Qt speaks QString. Both are UTF-16,
// so the conversion is a copy of code units and never changes a text.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace pile::io {

inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

inline std::u16string ToU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

inline QStringList ToQStringList(const std::vector<std::u16string>& items) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::u16string& item : items) {
        list.append(ToQString(item));
    }
    return list;
}

}  // namespace pile::io
