#include "report/xml_writer.h"

#include <cstdint>

namespace pile::report {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool AllowedInXml(char32_t c) {
    if (c < 0x20) {
        return c == 0x9 || c == 0xA || c == 0xD;
    }
    return c != 0xFFFE && c != 0xFFFF;
}

void AppendEscaped(std::string& out, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else {
                continue;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            continue;
        }
        if (!AllowedInXml(c)) {
            continue;
        }
        switch (c) {
            case U'&':
                out += "&amp;";
                break;
            case U'<':
                out += "&lt;";
                break;
            case U'>':
                out += "&gt;";
                break;
            case U'"':
                out += "&quot;";
                break;
            // Kept as references so that a parser does not fold them into blanks.
            case U'\t':
                out += "&#9;";
                break;
            case U'\n':
                out += "&#10;";
                break;
            case U'\r':
                out += "&#13;";
                break;
            default:
                AppendUtf8(out, c);
        }
    }
}

// The project's own ASCII texts (names, numbers) widened for the escape.
std::u16string Widened(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

}  // namespace

std::string EscapedXml(std::u16string_view text) {
    std::string out;
    AppendEscaped(out, text);
    return out;
}

XmlWriter::XmlWriter() {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
}

void XmlWriter::EndStartTag() {
    if (inStartTag_) {
        out_.push_back('>');
        inStartTag_ = false;
    }
}

XmlWriter& XmlWriter::Open(std::string_view name) {
    EndStartTag();
    out_.push_back('<');
    out_ += name;
    open_.emplace_back(name);
    inStartTag_ = true;
    return *this;
}

XmlWriter& XmlWriter::Attribute(std::string_view name, std::u16string_view value) {
    out_.push_back(' ');
    out_ += name;
    out_ += "=\"";
    AppendEscaped(out_, value);
    out_.push_back('"');
    return *this;
}

XmlWriter& XmlWriter::Attribute(std::string_view name, std::string_view value) {
    return Attribute(name, Widened(value));
}

XmlWriter& XmlWriter::Attribute(std::string_view name, long long value) {
    return Attribute(name, std::string_view(std::to_string(value)));
}

XmlWriter& XmlWriter::Text(std::u16string_view text) {
    EndStartTag();
    AppendEscaped(out_, text);
    return *this;
}

XmlWriter& XmlWriter::Text(std::string_view utf8) {
    EndStartTag();
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out_ += "&amp;";
                break;
            case '<':
                out_ += "&lt;";
                break;
            case '>':
                out_ += "&gt;";
                break;
            default:
                out_.push_back(c);
        }
    }
    return *this;
}

XmlWriter& XmlWriter::Close() {
    if (open_.empty()) {
        return *this;
    }
    if (inStartTag_) {
        out_ += "/>";
        inStartTag_ = false;
    } else {
        out_ += "</";
        out_ += open_.back();
        out_.push_back('>');
    }
    open_.pop_back();
    return *this;
}

XmlWriter& XmlWriter::Element(std::string_view name, std::u16string_view text) {
    return Open(name).Text(text).Close();
}

XmlWriter& XmlWriter::Raw(std::string_view xml) {
    EndStartTag();
    out_ += xml;
    return *this;
}

std::string XmlWriter::Finish() {
    while (!open_.empty()) {
        Close();
    }
    return std::move(out_);
}

}  // namespace pile::report
