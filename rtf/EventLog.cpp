#include "rtf/EventLog.h"

#include <cstdio>

namespace quorlin::rtf {
namespace {

std::string Hex(const Color& c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    return buffer;
}

const char* ListName(ListKind kind) {
    static const char* const names[] = {"none", "bullet", "decimal", "lower-alpha", "upper-alpha", "lower-roman", "upper-roman"};
    return names[static_cast<int>(kind)];
}

}  // namespace

void EventLog::character(const CharFormat& f) {
    log_ += " [";
    if (f.bold) log_ += "b ";
    if (f.italic) log_ += "i ";
    if (f.underline) log_ += "u ";
    if (f.strike) log_ += "s ";
    if (f.vertical == VerticalAlign::Superscript) log_ += "super ";
    if (f.vertical == VerticalAlign::Subscript) log_ += "sub ";
    log_ += "face=" + f.face + " size=" + std::to_string(f.sizeHalfPoints);
    if (f.color) log_ += " color=" + Hex(*f.color);
    if (f.background) log_ += " bg=" + Hex(*f.background);
    if (!f.link.empty()) log_ += " link=" + f.link;
    log_ += "]\n";
}

void EventLog::paragraph(const ParaFormat& f) {
    static const char* const aligns[] = {"left", "center", "right", "justify"};
    log_ += std::string(" [") + aligns[static_cast<int>(f.align)];
    log_ += " li=" + std::to_string(f.leftIndent) + " ri=" + std::to_string(f.rightIndent) +
            " fi=" + std::to_string(f.firstIndent) + " sb=" + std::to_string(f.spaceBefore) +
            " sa=" + std::to_string(f.spaceAfter) + " sl=" + std::to_string(f.lineSpacing) +
            (f.lineMultiple ? " mult" : "");
    for (const TabStop& t : f.tabs) log_ += " tab=" + std::to_string(t.position) + ":" + std::to_string(int(t.kind));
    if (f.listKind != ListKind::None)
        log_ += std::string(" list=") + ListName(f.listKind) + ":" + std::to_string(f.listId) + ":" + std::to_string(f.listLevel);
    if (f.inTable) log_ += " intbl";
    log_ += "]\n";
}

void EventLog::text(std::string_view utf8, const CharFormat& format) {
    log_ += "text \"";
    log_ += utf8;
    log_ += "\"";
    character(format);
}

void EventLog::tab(const CharFormat& format) {
    log_ += "tab";
    character(format);
}

void EventLog::lineBreak(const CharFormat& format) {
    log_ += "line";
    character(format);
}

void EventLog::picture(const Picture& p, const CharFormat& format) {
    log_ += std::string("picture ") + (p.format == PictureFormat::Png ? "png" : "jpeg") +
            " bytes=" + std::to_string(p.data.size()) + " px=" + std::to_string(p.pixelWidth) + "x" +
            std::to_string(p.pixelHeight) + " goal=" + std::to_string(p.goalWidth) + "x" + std::to_string(p.goalHeight);
    character(format);
}

void EventLog::paragraphEnd(const ParaFormat& format) {
    log_ += "par";
    paragraph(format);
}

void EventLog::cellEnd(const ParaFormat& format) {
    log_ += "cell";
    paragraph(format);
}

void EventLog::rowEnd(const RowFormat& format) {
    log_ += "row left=" + std::to_string(format.leftOffset);
    for (int x : format.cellRight) log_ += " " + std::to_string(x);
    log_ += "\n";
}

void EventLog::endDocument() { log_ += "end\n"; }

}  // namespace quorlin::rtf
