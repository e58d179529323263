// Reader throughput on generated topics against a memchr scan of the same bytes,
// and opening a topic into a QTextDocument against building the same document
// with direct QTextCursor inserts (the floor Qt allows). One line per figure:
// figure, baseline, ratio.
#include "BenchSupport.h"
#include "editor/RtfImport.h"
#include "rtf/Reader.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double BestSeconds(int runs, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

// Paragraphs as LibreOffice writes them: a group per run, associated fonts,
// Unicode with hex fallbacks, list and table paragraphs now and then.
std::string LibreOfficeTopic(std::size_t bytes) {
    std::string rtf =
        "{\\rtf1\\ansi\\deff3\\adeflang1025{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
        "{\\f3\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt Times New Roman};}{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}"
        "{\\stylesheet{\\s0\\snext0\\rtlch\\af7\\afs24\\alang1081 \\ltrch\\lang1033\\langfe2052\\hich\\af3\\loch\\cf0\\f3\\fs24 Normal;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0{\\leveltext \\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-283\\li709}\\listid1}}"
        "{\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\n";
    for (int i = 0; rtf.size() < bytes; ++i) {
        rtf += "\\par \\pard\\plain \\s16\\loch\\sl276\\slmult1\\sb0\\sa140\\ql\\ltrpar{\\loch\nThe help system explains }"
               "{\\loch\\b\\loch\nevery command}{\\loch\n of the editor; }{\\loch\\i\\loch\nsee also}{\\loch\n the }"
               "{\\loch\\cf2\\loch\nindex} and caf\\u233\\'e9 na\\u239\\'efve \\u8212\\'97 paragraph " + std::to_string(i) + ".}\n";
        if (i % 10 == 0)
            rtf += "\\par \\pard\\plain \\s16{\\listtext\\pard\\plain  1.\\tab}\\ilvl0\\ls1 \\li709\\fi-283\\tx709{\\loch\nA list item}\n";
        if (i % 25 == 0)
            rtf += "\\par \\trowd\\cellx2000\\cellx4000\\pard\\plain\\intbl{\\loch\nKey}\\cell\\pard\\plain\\intbl{\\loch\nAction}\\cell\\row\\pard\n";
    }
    return rtf + "\\par }";
}

std::string MostlyPlainTopic(std::size_t bytes) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22\n";
    const std::string sentence = "A long paragraph of ordinary prose that goes on and on, as help topics do. ";
    for (int i = 0; rtf.size() < bytes; ++i) {
        for (int k = 0; k < 8; ++k) rtf += sentence;
        rtf += i % 4 == 0 ? "Some {\\b bold} words.\\par\n" : "\\par\n";
    }
    return rtf + "}";
}

class NullSink final : public quorlin::rtf::Sink {
public:
    std::size_t bytes = 0;
    void text(std::string_view utf8, const quorlin::rtf::CharFormat&) override { bytes += utf8.size(); }
    void tab(const quorlin::rtf::CharFormat&) override {}
    void lineBreak(const quorlin::rtf::CharFormat&) override {}
    void picture(const quorlin::rtf::Picture&, const quorlin::rtf::CharFormat&) override {}
    void paragraphEnd(const quorlin::rtf::ParaFormat&) override {}
    void cellEnd(const quorlin::rtf::ParaFormat&) override {}
    void rowEnd(const quorlin::rtf::RowFormat&) override {}
    void endDocument() override {}
};

void ReadInPieces(const std::string& rtf, quorlin::rtf::Sink& sink) {
    quorlin::rtf::Reader reader(sink);
    for (std::size_t at = 0; at < rtf.size(); at += 64 * 1024) reader.feed(rtf.data() + at, std::min<std::size_t>(64 * 1024, rtf.size() - at));
    reader.finish();
}

std::size_t MemchrCount(const std::string& bytes) {
    std::size_t n = 0;
    for (const char* p = bytes.data(), *end = p + bytes.size(); (p = static_cast<const char*>(std::memchr(p, '\\', end - p))); ++p) ++n;
    return n;
}

void Report(const char* name, double figure, double baseline, const char* unit) {
    std::printf("%-42s %10.1f %s   baseline %10.1f %s   ratio %.3f\n", name, figure, unit, baseline, unit, figure / baseline);
}

void ReaderThroughput(const char* name, const std::string& rtf) {
    const double mb = rtf.size() / 1e6;
    volatile std::size_t sink = 0;
    double reader = BestSeconds(5, [&] { NullSink s; ReadInPieces(rtf, s); sink = sink + s.bytes; });
    double scan = BestSeconds(5, [&] { sink = sink + MemchrCount(rtf); });
    Report(name, mb / reader, mb / scan, "MB/s");
}

// Records what the importer would insert, so the floor inserts exactly that.
class Recorder final : public quorlin::rtf::Sink {
public:
    struct Item {
        QString text;  // empty: a paragraph end
        QTextCharFormat format;
    };
    std::vector<Item> items;
    void text(std::string_view utf8, const quorlin::rtf::CharFormat& f) override { add(QString::fromUtf8(utf8.data(), utf8.size()), f); }
    void tab(const quorlin::rtf::CharFormat& f) override { add(QStringLiteral("\t"), f); }
    void lineBreak(const quorlin::rtf::CharFormat& f) override { add(QString(QChar::LineSeparator), f); }
    void picture(const quorlin::rtf::Picture&, const quorlin::rtf::CharFormat&) override {}
    void paragraphEnd(const quorlin::rtf::ParaFormat&) override { items.push_back({}); }
    void cellEnd(const quorlin::rtf::ParaFormat&) override { items.push_back({}); }
    void rowEnd(const quorlin::rtf::RowFormat&) override {}
    void endDocument() override {}

private:
    void add(const QString& text, const quorlin::rtf::CharFormat& f) {
        items.push_back({text, quorlin::bench::FloorFormat(f)});
    }
};

void OpenIntoDocument(const std::string& rtf) {
    Recorder recorder;
    ReadInPieces(rtf, recorder);
    double floor = BestSeconds(3, [&] {
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        bool first = true;
        for (const auto& item : recorder.items) {
            if (item.text.isEmpty()) {
                if (!first) cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
                first = false;
                cursor.setBlockFormat(QTextBlockFormat());
            } else {
                cursor.insertText(item.text, item.format);
            }
        }
        cursor.endEditBlock();
    });
    double open = BestSeconds(3, [&] {
        QTextDocument document;
        quorlin::RtfImporter importer(document, QTextCharFormat());
        for (std::size_t at = 0; at < rtf.size(); at += 64 * 1024) importer.feed(rtf.data() + at, std::min<std::size_t>(64 * 1024, rtf.size() - at));
        importer.finish();
    });
    std::printf("%-42s %10.1f ms     baseline %10.1f ms     ratio %.3f\n", "open 2 MB topic vs direct inserts", open * 1e3,
                floor * 1e3, open / floor);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ReaderThroughput("reader, 10 MB LibreOffice-like topic", LibreOfficeTopic(10'000'000));
    ReaderThroughput("reader, 10 MB mostly plain topic", MostlyPlainTopic(10'000'000));
    OpenIntoDocument(LibreOfficeTopic(2'000'000));
    return 0;
}
