#include "batch/schedule_text.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#endif

namespace pile::batch {

std::u16string_view EncodingName(TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        return u"UTF-8";
    }
#ifdef _WIN32
    return u"ANSI";
#else
    return u"GBK";
#endif
}

std::u16string DecimalText(std::size_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    return digits;
}

std::optional<std::u16string> DecodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1Fu;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0Fu;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07u;
            minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i < length) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return std::nullopt;
        }
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
        i += length;
    }
    return out;
}

#ifdef _WIN32

struct TextDecoder::Converter {};

TextDecoder::TextDecoder(TextEncoding encoding) : encoding_(encoding) {}
TextDecoder::~TextDecoder() = default;

std::optional<std::u16string> TextDecoder::Decode(std::string_view bytes) {
    if (encoding_ == TextEncoding::Utf8) {
        return DecodeUtf8(bytes);
    }
    if (bytes.empty()) {
        return std::u16string();
    }
    // A record is at most a few hundred kilobytes (the reader's limit), well inside int.
    const int size = static_cast<int>(bytes.size());
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0) {
        return std::nullopt;
    }
    std::u16string out(static_cast<std::size_t>(units), u'\0');
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size,
                            reinterpret_cast<wchar_t*>(out.data()), units) != units) {
        return std::nullopt;
    }
    return out;
}

#else

struct TextDecoder::Converter {
    iconv_t handle = reinterpret_cast<iconv_t>(-1);
    bool Valid() const { return handle != reinterpret_cast<iconv_t>(-1); }
    ~Converter() {
        if (Valid()) {
            iconv_close(handle);
        }
    }
};

TextDecoder::TextDecoder(TextEncoding encoding)
    : encoding_(encoding), converter_(std::make_unique<Converter>()) {
    if (encoding == TextEncoding::Legacy) {
        // glibc's GBK is Windows' code page 936, the euro sign at 0x80 included.
        converter_->handle = iconv_open("UTF-16LE", "GBK");
    }
}

TextDecoder::~TextDecoder() = default;

std::optional<std::u16string> TextDecoder::Decode(std::string_view bytes) {
    if (encoding_ == TextEncoding::Utf8) {
        return DecodeUtf8(bytes);
    }
    if (!converter_->Valid()) {
        return std::nullopt;
    }
    iconv(converter_->handle, nullptr, nullptr, nullptr, nullptr);  // a fresh start
    // GBK takes one or two bytes a character, each giving one UTF-16 unit: two output bytes
    // per input byte always suffice.
    std::string utf16(bytes.size() * 2, '\0');
    char* in = const_cast<char*>(bytes.data());  // iconv's signature; it does not write
    std::size_t inLeft = bytes.size();
    char* out = utf16.data();
    std::size_t outLeft = utf16.size();
    if (iconv(converter_->handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0) {
        return std::nullopt;
    }
    const std::size_t written = utf16.size() - outLeft;
    std::u16string text;
    text.reserve(written / 2);
    for (std::size_t i = 0; i + 1 < written; i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(utf16[i]) |
                                             (static_cast<std::uint8_t>(utf16[i + 1]) << 8)));
    }
    return text;
}

#endif

}  // namespace pile::batch
