#pragma once
// A Sink that writes each event as one line of text: what tests compare, and
// what quorlin-rtf prints to show how a file was read.

#include "rtf/Document.h"

#include <string>

namespace quorlin::rtf {

class EventLog final : public Sink {
public:
    const std::string& str() const { return log_; }

    void text(std::string_view utf8, const CharFormat& format) override;
    void tab(const CharFormat& format) override;
    void lineBreak(const CharFormat& format) override;
    void picture(const Picture& picture, const CharFormat& format) override;
    void paragraphEnd(const ParaFormat& format) override;
    void cellEnd(const ParaFormat& format) override;
    void rowEnd(const RowFormat& format) override;
    void endDocument() override;

private:
    void character(const CharFormat& format);
    void paragraph(const ParaFormat& format);
    std::string log_;
};

// The text of a whole document as read: paragraphs and cells on lines of their
// own, tabs and line breaks as \t and \n. Formats are left out.
class TextLog final : public Sink {
public:
    const std::string& str() const { return text_; }

    void text(std::string_view utf8, const CharFormat&) override { text_.append(utf8); }
    void tab(const CharFormat&) override { text_.push_back('\t'); }
    void lineBreak(const CharFormat&) override { text_.push_back('\n'); }
    void picture(const Picture&, const CharFormat&) override {}
    void paragraphEnd(const ParaFormat&) override { text_.push_back('\n'); }
    void cellEnd(const ParaFormat&) override { text_.push_back('\n'); }
    void rowEnd(const RowFormat&) override {}
    void endDocument() override {}

private:
    std::string text_;
};

}  // namespace quorlin::rtf
