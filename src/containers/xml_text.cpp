#include "containers/xml_text.h"

#include <expat.h>

#include <array>
#include <charconv>
#include <cstring>
#include <memory>

#include "containers/read_limits.h"

namespace vsr::containers {

namespace {

constexpr std::size_t kXmlChunk = 64 * 1024;
// Expanded names are "namespace|local".
constexpr char kNamespaceSeparator = '|';

std::string_view localName(const XML_Char* name) {
    const char* sep = std::strrchr(name, kNamespaceSeparator);
    return sep ? std::string_view(sep + 1) : std::string_view(name);
}

const XML_Char* attribute(const XML_Char** attrs, std::string_view local) {
    for (int i = 0; attrs[i]; i += 2)
        if (localName(attrs[i]) == local) return attrs[i + 1];
    return nullptr;
}

bool isXhtmlBlock(std::string_view n) {
    static constexpr std::array<std::string_view, 20> kBlocks = {
        "p",  "div", "h1", "h2",         "h3",  "h4", "h5", "h6", "li", "dt", "dd", "blockquote", "pre", "td",
        "th", "tr",  "caption", "figcaption", "title", "section",
    };
    for (const std::string_view b : kBlocks)
        if (n == b) return true;
    return false;
}

// Walks the elements of one part and gathers its lines. Text counts only inside a paragraph
// (or, for vocabularies that keep it in runs, inside a run's text element); what lies in a
// skipped subtree (a fallback copy of a drawing, phonetic readings, an XHTML head) never does.
class XmlTextWalk {
public:
    XmlTextWalk(const XmlTextInput& input, std::uint64_t maxText, std::string& text, std::vector<std::string>* strings)
        : in_(input), maxText_(maxText), text_(text), strings_(strings) {}

    void start(std::string_view n, const XML_Char** attrs) {
        ++depth_;
        stack_.emplace_back(n);
        if (skipDepth_) return;
        switch (in_.vocabulary) {
            case XmlVocabulary::OpenDocument:
                if (n == "p" || n == "h") beginParagraph();
                else if (n == "annotation") skipDepth_ = depth_;
                else if (n == "tab") add("\t");
                else if (n == "line-break") endLine();
                else if (n == "s") {
                    int count = 1;
                    if (const XML_Char* c = attribute(attrs, "c")) {
                        std::from_chars(c, c + std::strlen(c), count);
                        if (count < 1 || count > 1024) count = 1;
                    }
                    add(std::string(static_cast<std::size_t>(count), ' '));
                }
                break;
            case XmlVocabulary::WordDocument:
            case XmlVocabulary::SlideDrawing:
                if (n == "p") beginParagraph();
                else if (n == "t") textDepth_ = depth_;
                else if (n == "Fallback") skipDepth_ = depth_;
                else if (n == "tab" && inRun()) add("\t");
                else if (n == "br" || n == "cr") endLine();
                break;
            case XmlVocabulary::SharedStrings:
                if (n == "si") beginParagraph();
                else if (n == "rPh") skipDepth_ = depth_;
                else if (n == "t") textDepth_ = depth_;
                break;
            case XmlVocabulary::Worksheet:
                if (n == "c") {
                    beginParagraph();
                    const XML_Char* type = attribute(attrs, "t");
                    sharedCell_ = type && std::strcmp(type, "s") == 0;
                } else if (n == "v" || n == "t") {
                    textDepth_ = depth_;
                } else if (n == "f") {
                    skipDepth_ = depth_;
                }
                break;
            case XmlVocabulary::Xhtml:
                if (n == "head" || n == "script" || n == "style") skipDepth_ = depth_;
                else if (n == "br") endLine();
                else if (isXhtmlBlock(n)) beginParagraph();
                else if (n == "body") inBody_ = true;
                break;
        }
    }

    void end(std::string_view n) {
        if (!stack_.empty()) stack_.pop_back();
        if (skipDepth_) {
            if (depth_ == skipDepth_) skipDepth_ = 0;
            --depth_;
            return;
        }
        if (depth_ == textDepth_) textDepth_ = 0;
        switch (in_.vocabulary) {
            case XmlVocabulary::OpenDocument:
                if (n == "p" || n == "h") endParagraph();
                break;
            case XmlVocabulary::WordDocument:
            case XmlVocabulary::SlideDrawing:
                if (n == "p") endParagraph();
                break;
            case XmlVocabulary::SharedStrings:
                if (n == "si") {
                    if (strings_) strings_->push_back(std::move(line_));
                    line_.clear();
                    paragraphs_ = 0;
                }
                break;
            case XmlVocabulary::Worksheet:
                if (n == "c") endCell();
                break;
            case XmlVocabulary::Xhtml:
                if (isXhtmlBlock(n)) endParagraph();
                else if (n == "body") flushLine();
                break;
        }
        --depth_;
    }

    void characters(std::string_view s) {
        if (skipDepth_) return;
        switch (in_.vocabulary) {
            case XmlVocabulary::OpenDocument:
                if (paragraphs_ > 0) add(s);
                break;
            case XmlVocabulary::Xhtml:
                if (inBody_) addCollapsed(s);
                break;
            default:
                if (textDepth_) add(s);
                break;
        }
    }

    bool full() const { return full_; }

private:
    // A tab element stands for a tab only in a run (w:r); in paragraph properties it is a tab stop.
    bool inRun() const { return stack_.size() >= 2 && stack_[stack_.size() - 2] == "r"; }
    void beginParagraph() {
        // A paragraph inside another (a text box in a paragraph) is a line of its own.
        if (!line_.empty()) endLine();
        ++paragraphs_;
    }
    void endParagraph() {
        if (paragraphs_ > 0) --paragraphs_;
        // XHTML blocks nest freely: only those that held text give a line.
        if (in_.vocabulary == XmlVocabulary::Xhtml) flushLine();
        else endLine();
    }
    void endCell() {
        if (sharedCell_) {
            std::size_t index = SIZE_MAX;
            const auto [p, ec] = std::from_chars(line_.data(), line_.data() + line_.size(), index);
            line_.clear();
            if (ec == std::errc() && in_.sharedStrings && index < in_.sharedStrings->size())
                line_ = (*in_.sharedStrings)[index];
        }
        sharedCell_ = false;
        paragraphs_ = 0;
        flushLine();
    }
    void flushLine() {
        if (line_.find_first_not_of(" \t") != std::string::npos) endLine();
        line_.clear();
    }
    void endLine() {
        // Line ends inside the text itself would split one paragraph over several lines.
        for (char& c : line_)
            if (c == '\n' || c == '\r') c = ' ';
        if (text_.size() + line_.size() + 1 > maxText_) {
            full_ = true;
            line_.clear();
            return;
        }
        text_ += line_;
        text_ += '\n';
        line_.clear();
    }
    void add(std::string_view s) {
        if (line_.size() + s.size() > maxText_) {
            full_ = true;
            return;
        }
        line_ += s;
    }
    // XHTML: runs of white space are one space, as a browser shows them.
    void addCollapsed(std::string_view s) {
        for (const char c : s) {
            const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
            if (blank) {
                if (!line_.empty() && line_.back() != ' ') add(" ");
            } else {
                add(std::string_view(&c, 1));
            }
        }
    }

    const XmlTextInput& in_;
    std::uint64_t maxText_;
    std::string& text_;
    std::vector<std::string>* strings_;
    std::string line_;
    std::vector<std::string> stack_;
    int depth_ = 0;
    int skipDepth_ = 0;
    int textDepth_ = 0;
    int paragraphs_ = 0;
    bool sharedCell_ = false;
    bool inBody_ = false;
    bool full_ = false;
};

struct ParserFree {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

}  // namespace

ReadOutcome appendXmlText(const XmlTextInput& input, std::uint64_t maxText, const std::atomic<bool>& stop,
                          std::string& text, std::vector<std::string>* strings) {
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser) return {ReadEnd::Failed, "Document could not be read (out of memory)"};
    XmlTextWalk walk(input, maxText, text, strings);
    XML_Parser p = parser.get();
    XML_SetUserData(p, &walk);
    XML_SetElementHandler(
        p,
        [](void* self, const XML_Char* name, const XML_Char** attrs) {
            static_cast<XmlTextWalk*>(self)->start(localName(name), attrs);
        },
        [](void* self, const XML_Char* name) { static_cast<XmlTextWalk*>(self)->end(localName(name)); });
    XML_SetCharacterDataHandler(p, [](void* self, const XML_Char* s, int len) {
        static_cast<XmlTextWalk*>(self)->characters(std::string_view(s, static_cast<std::size_t>(len)));
    });
    std::string_view rest = input.xml;
    do {
        if (stopped(stop)) return {ReadEnd::Stopped, {}};
        const std::string_view piece = rest.substr(0, kXmlChunk);
        rest.remove_prefix(piece.size());
        if (XML_Parse(p, piece.data(), static_cast<int>(piece.size()), rest.empty()) != XML_STATUS_OK) {
            const char* why = XML_ErrorString(XML_GetErrorCode(p));
            return {ReadEnd::Failed, std::string("Document damaged: its XML is not well-formed (") +
                                         (why ? why : "unknown error") + "); the rest of it was not read"};
        }
        if (walk.full())
            return {ReadEnd::Cut, "Document cut off at the limit of " + sizeText(maxText) + " of text; the rest was not read"};
    } while (!rest.empty());
    return {};
}

}  // namespace vsr::containers
