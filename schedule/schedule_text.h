// Decoding the bytes of a schedule, strictly: a byte sequence that is not a character of the
// encoding is refused, never replaced, because the box texts end up in the calculation books.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pile::schedule {

enum class TextEncoding {
    Utf8,
    // What a Chinese Windows writes as "CSV (逗号分隔)": GBK (code page 936). On Windows the
    // system's ANSI code page, which is 936 on a Simplified-Chinese system.
    Legacy,
};

// "UTF-8", "GBK" (or "ANSI" on Windows), for messages.
std::u16string_view EncodingName(TextEncoding encoding);

// A count or a line number in decimal digits, for messages.
std::u16string DecimalText(std::size_t value);

// "64 MB": a size limit in whole megabytes, for messages.
std::u16string MegabytesText(std::size_t bytes);

// The refusals every reader of a schedule shares, whatever the file: one text each, so that a
// CSV file and a workbook are refused in the same words.
std::u16string FileTooBigText(std::size_t maxFileBytes);  // "文件超过 64 MB，不是桩表"
inline constexpr std::u16string_view kEmptyFileText = u"文件是空的";
inline constexpr std::u16string_view kReadErrorText = u"读文件时出错";
std::u16string TooManyRowsText(std::size_t maxRows);  // "桩表超过 20000 行，请分成几个文件"
// "第 12 行: ", put before what is wrong with a row of the file.
std::u16string LinePrefix(std::size_t line);

// Decodes one encoding after another, keeping the converter open between calls (iconv on
// Linux, MultiByteToWideChar on Windows). Not shared between threads.
class TextDecoder {
  public:
    explicit TextDecoder(TextEncoding encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    TextEncoding Encoding() const { return encoding_; }
    // nullopt when the bytes are not text in this encoding (or the system lacks it).
    std::optional<std::u16string> Decode(std::string_view bytes);

  private:
    struct Converter;
    TextEncoding encoding_;
    std::unique_ptr<Converter> converter_;
};

}  // namespace pile::schedule
