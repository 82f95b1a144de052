#include "schedule/xlsx_xml.h"

#include <type_traits>
#include <utility>

#include "schedule/schedule_text.h"

namespace pile::schedule::xlsx {
namespace {

// What the expat callbacks need: the handler, the depth and its limit.
struct ParseState {
    XML_Parser parser = nullptr;
    XmlHandler* handler = nullptr;
    std::size_t depth = 0;
    std::size_t maxDepth = 0;
    std::u16string part;
    std::size_t fed = 0;        // bytes handed to expat so far
    std::size_t lastEvent = 0;  // `fed` when a handler was last called
};

// Every handler marks that expat has got past a token: the bytes fed since are the token it
// is still waiting to end.
void Mark(ParseState& state) {
    state.lastEvent = state.fed;
}

void Stop(ParseState& state, std::u16string why) {
    if (!state.handler->failure) {
        state.handler->failure = std::move(why);
    }
    XML_StopParser(state.parser, XML_FALSE);
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(data);
    Mark(state);
    if (++state.depth > state.maxDepth) {
        Stop(state,
             state.part + u" 的 XML 嵌套超过 " + DecimalText(state.maxDepth) + u" 层，不予读取");
        return;
    }
    state.handler->Start(LocalName(name), attributes);
    if (state.handler->failure) {
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto& state = *static_cast<ParseState*>(data);
    Mark(state);
    --state.depth;
    state.handler->End(LocalName(name));
    if (state.handler->failure) {
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto& state = *static_cast<ParseState*>(data);
    Mark(state);
    state.handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
    if (state.handler->failure) {
        XML_StopParser(state.parser, XML_FALSE);
    }
}

// Comments, processing instructions, the XML declaration, white space outside the root: read
// past, but each is an event.
void XMLCALL OnOther(void* data, const XML_Char*, int) {
    Mark(*static_cast<ParseState*>(data));
}

// No part of a workbook declares a DTD; one that does is refused before any entity of it can
// be expanded or fetched.
void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& state = *static_cast<ParseState*>(data);
    Stop(state, state.part + u" 含有 DTD 声明，不予读取");
}

void XMLCALL OnEntity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                      const XML_Char*, const XML_Char*, const XML_Char*) {
    auto& state = *static_cast<ParseState*>(data);
    Stop(state, state.part + u" 声明了实体，不予读取");
}

int XMLCALL OnExternalEntity(XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*,
                             const XML_Char*) {
    return XML_STATUS_ERROR;
}

}  // namespace

struct XmlStream::State {
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser{
        XML_ParserCreateNS(nullptr, ' '), &XML_ParserFree};
    ParseState parse;
    std::size_t maxTokenBytes = 0;
};

XmlStream::XmlStream(std::u16string part, const WorkbookLimits& limits, XmlHandler& handler)
    : state_(std::make_unique<State>()) {
    XML_Parser parser = state_->parser.get();
    state_->parse = ParseState{parser, &handler, 0, limits.maxDepth, std::move(part), 0, 0};
    state_->maxTokenBytes = limits.maxTokenBytes;
    XML_SetUserData(parser, &state_->parse);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_SetStartDoctypeDeclHandler(parser, OnDoctype);
    XML_SetEntityDeclHandler(parser, OnEntity);
    XML_SetExternalEntityRefHandler(parser, OnExternalEntity);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    // The expanding kind, so that having it changes nothing of how references are read.
    XML_SetDefaultHandlerExpand(parser, OnOther);
}

XmlStream::~XmlStream() = default;

std::optional<std::u16string> XmlStream::Feed(std::string_view chunk, bool last) {
    ParseState& state = state_->parse;
    state.fed += chunk.size();
    if (XML_Parse(state.parser, chunk.data(), static_cast<int>(chunk.size()), last) !=
        XML_STATUS_OK) {
        if (state.handler->failure) {
            return state.handler->failure;
        }
        return u"工作簿已损坏：" + state.part + u" 第 " +
               DecimalText(XML_GetCurrentLineNumber(state.parser)) + u" 行不是有效的 XML";
    }
    // Text comes to the handler in pieces as it is fed, but a tag, an attribute or a
    // comment only whole: expat scans it again from its start with every chunk, which
    // grows as its square. No cell needs a long one, so one is refused early.
    if (state.fed - state.lastEvent > state_->maxTokenBytes) {
        return state.part + u" 中有一个标签、属性或注释超过 " +
               MegabytesText(state_->maxTokenBytes) + u"，不予读取";
    }
    return std::nullopt;
}

}  // namespace pile::schedule::xlsx
