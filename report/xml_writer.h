// A small streaming XML writer for the parts of an Office document: elements, attributes and
// text, UTF-8, with every text escaped and every character XML 1.0 cannot hold left out, so
// that no pile label or project name can break the document.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pile::report {

class XmlWriter {
  public:
    // Starts with the XML declaration (standalone="yes", as Office writes its parts).
    XmlWriter();

    // <name: attributes may follow until the next Open, Text or Close.
    XmlWriter& Open(std::string_view name);
    XmlWriter& Attribute(std::string_view name, std::string_view value);
    XmlWriter& Attribute(std::string_view name, std::u16string_view value);
    XmlWriter& Attribute(std::string_view name, long long value);
    XmlWriter& Text(std::u16string_view text);
    XmlWriter& Text(std::string_view utf8);
    // Closes the innermost open element, as <x/> when it has no content.
    XmlWriter& Close();
    // Open, its text, Close.
    XmlWriter& Element(std::string_view name, std::u16string_view text);
    // Markup already well-formed, such as a fixed part kept in the repository.
    XmlWriter& Raw(std::string_view xml);

    // Closes whatever is still open and hands over the document.
    std::string Finish();

  private:
    void EndStartTag();

    std::string out_;
    std::vector<std::string> open_;
    bool inStartTag_ = false;
};

// The text escaped for an attribute value or element content; characters outside XML 1.0
// (controls other than tab, line feed and carriage return, lone surrogates, U+FFFE, U+FFFF)
// are dropped.
std::string EscapedXml(std::u16string_view text);

}  // namespace pile::report
