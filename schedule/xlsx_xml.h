// The XML room of the workbook reader: one part's bytes, as they are inflated, through expat
// to a handler of its elements.
//
// A part is XML written by anyone, so the stream guards what the reader cannot afford: no DTD
// may be declared (which rules out entity expansion and external entities), elements nest no
// deeper than the limit, and no tag, comment or processing instruction may grow past the
// token limit (expat rescans an unfinished token with every chunk, which grows as its square).
// Text is handed on in pieces, so it is no token; its length is the handler's business.
#pragma once

#include <expat.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "schedule/xlsx_records.h"

namespace pile::schedule::xlsx {

// Receives the events of one XML part. A handler stops the parse by setting `failure`.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // `name` is the local name: the namespace is dropped, as writers differ in prefixes.
    virtual void Start(std::string_view name, const XML_Char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view) {}
    std::optional<std::u16string> failure;
};

inline std::string_view LocalName(const XML_Char* name) {
    const std::string_view full(name);
    const std::size_t space = full.rfind(' ');
    return space == std::string_view::npos ? full : full.substr(space + 1);
}

inline std::optional<std::string_view> Attribute(const XML_Char** attributes,
                                                 std::string_view name) {
    for (std::size_t i = 0; attributes[i] != nullptr; i += 2) {
        if (LocalName(attributes[i]) == name) {
            return std::string_view(attributes[i + 1]);
        }
    }
    return std::nullopt;
}

// Parses the part named `part` into `handler`; the reason when it fails. The zip room and the
// XML stream put together, handed to the rooms that read parts.
using PartParser =
    std::function<std::optional<std::u16string>(std::string_view part, XmlHandler& handler)>;

// One part's XML, fed chunk by chunk.
class XmlStream {
  public:
    // `part` is the part's name as messages show it.
    XmlStream(std::u16string part, const WorkbookLimits& limits, XmlHandler& handler);
    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // The next bytes of the part, `last` with the end of it; the reason when the part is
    // refused (the handler's own, or the stream's).
    std::optional<std::u16string> Feed(std::string_view chunk, bool last);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace pile::schedule::xlsx
