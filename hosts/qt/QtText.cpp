#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

QString TextFromBytes(std::string_view bytes) {
    if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    // Every Windows-1252 character lies in the basic plane: one QChar each.
    for (char c : bytes) text.append(QChar(static_cast<char16_t>(FromWindows1252(static_cast<unsigned char>(c)))));
    return text;
}

std::string Utf8FromText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

int TextIndexOfByteOffset(std::string_view bytes, std::size_t offset) {
    if (offset > bytes.size()) offset = bytes.size();
    if (IsAscii(bytes) || !IsValidUtf8(bytes)) return static_cast<int>(offset);
    int index = 0;
    for (std::size_t at = 0; at < offset;) {
        const std::size_t length = Utf8SequenceLength(bytes, at);
        if (at + length > offset) break;
        index += length == 4 ? 2 : 1;  // beyond the basic plane: a surrogate pair
        at += length;
    }
    return index;
}

}  // namespace tabulon::qt
