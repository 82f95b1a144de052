#include "schedule/schedule_text.h"

#include <cstdint>

#include "engine/utf_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace pile::schedule {

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

std::u16string MegabytesText(std::size_t bytes) {
    return DecimalText(bytes >> 20) + u" MB";
}

std::u16string FileTooBigText(std::size_t maxFileBytes) {
    return u"文件超过 " + MegabytesText(maxFileBytes) + u"，不是桩表";
}

std::u16string TooManyRowsText(std::size_t maxRows) {
    return u"桩表超过 " + DecimalText(maxRows) + u" 行，请分成几个文件";
}

std::u16string LinePrefix(std::size_t line) {
    return u"第 " + DecimalText(line) + u" 行: ";
}

#ifdef _WIN32

struct TextDecoder::Converter {};

TextDecoder::TextDecoder(TextEncoding encoding) : encoding_(encoding) {}
TextDecoder::~TextDecoder() = default;

std::optional<std::u16string> TextDecoder::Decode(std::string_view bytes) {
    if (encoding_ == TextEncoding::Utf8) {
        return StrictUtf8ToUtf16(bytes);
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
        return StrictUtf8ToUtf16(bytes);
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

}  // namespace pile::schedule
