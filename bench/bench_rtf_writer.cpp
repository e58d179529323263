// RTF writer throughput and saving a large topic, each against a baseline
// measured in the same run. One line per figure: figure, baseline, ratio.
#include "editor/RtfExport.h"
#include "rtf/Writer.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace quorlin;
using Clock = std::chrono::steady_clock;

// Best of several runs, in seconds: the least disturbed one.
double BestSeconds(const std::function<void()>& work, int runs = 5) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void PrintLine(const char* what, double figure, const char* unit, const char* baselineName, double baseline) {
    std::printf("%-44s %10.1f %-5s baseline %-26s %10.1f %-5s ratio %.3f\n", what, figure, unit, baselineName, baseline,
                unit, figure / baseline);
}

// One paragraph of the document, as events.
struct Run {
    std::string text;
    rtf::CharFormat format;
};
struct Paragraph {
    std::vector<Run> runs;
    rtf::ParaFormat format;
};

std::string Words(std::mt19937& random, std::size_t length) {
    static const char* words[] = {"the", "topic", "help", "window", "caf\xC3\xA9", "select", "{brace}", "file",
                                  "\xE2\x80\x9Cquoted\xE2\x80\x9D", "and", "press", "Enter", "back\\slash", "42"};
    std::string s;
    while (s.size() < length) {
        s += words[random() % (sizeof words / sizeof *words)];
        s += ' ';
    }
    return s;
}

// About targetBytes of text. Dense: runs of a few words with a format change at
// every run, the way LibreOffice's RTF is. Plain: long runs, rare changes.
std::vector<Paragraph> MakeDocument(std::size_t targetBytes, bool dense) {
    std::mt19937 random(7);
    std::vector<Paragraph> document;
    const char* faces[] = {"Liberation Serif", "Liberation Sans", "DejaVu Sans Mono"};
    std::size_t total = 0;
    while (total < targetBytes) {
        Paragraph p;
        p.format.align = static_cast<rtf::Align>(random() % 4);
        p.format.spaceAfter = 140;
        const int runs = dense ? 8 + random() % 16 : 1 + random() % 2;
        for (int r = 0; r < runs; ++r) {
            Run run;
            run.text = Words(random, dense ? 6 + random() % 30 : 300 + random() % 400);
            if (dense || r > 0) {
                run.format.bold = random() % 2;
                run.format.italic = random() % 3 == 0;
                run.format.underline = random() % 5 == 0;
                run.format.face = faces[random() % 3];
                run.format.sizeHalfPoints = 20 + 2 * (random() % 6);
                if (random() % 4 == 0) run.format.color = rtf::Color{uint8_t(random()), 0, 128};
            }
            total += run.text.size();
            p.runs.push_back(std::move(run));
        }
        document.push_back(std::move(p));
    }
    return document;
}

std::size_t WriteDocument(const std::vector<Paragraph>& document) {
    std::size_t bytes = 0;
    rtf::Writer writer([&bytes](const char*, std::size_t size) {
        bytes += size;
        return true;
    });
    for (const Paragraph& p : document) {
        for (const Run& run : p.runs) writer.text(run.text, run.format);
        writer.paragraphEnd(p.format);
    }
    writer.endDocument();
    return bytes;
}

// The floor: reading the same number of bytes once, as fast as the C library can.
double MemchrMegabytesPerSecond(std::size_t bytes) {
    const std::string buffer(bytes, 'x');
    volatile const void* sink = nullptr;
    const double seconds = BestSeconds([&] { sink = std::memchr(buffer.data(), '\n', buffer.size()); });
    (void)sink;
    return bytes / seconds / 1e6;
}

void BenchWriter(const char* what, bool dense) {
    const std::vector<Paragraph> document = MakeDocument(10'000'000, dense);
    std::size_t bytes = 0;
    const double seconds = BestSeconds([&] { bytes = WriteDocument(document); });
    PrintLine(what, bytes / seconds / 1e6, "MB/s", "memchr over the output", MemchrMegabytesPerSecond(bytes));
}

// A topic of about 2 MB of text as the editor holds it: short formatted runs.
void FillTopic(QTextDocument& document) {
    document.setDefaultFont(QFont(QStringLiteral("Times New Roman"), 12));
    std::mt19937 random(11);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    std::size_t total = 0;
    while (total < 2'000'000) {
        for (int r = 0; r < 12; ++r) {
            QTextCharFormat format;
            format.setFontWeight(random() % 2 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(random() % 3 == 0);
            if (random() % 4 == 0) format.setForeground(QColor(random() % 256, 0, 128));
            format.setFontPointSize(10 + random() % 6);
            const QString text = QString::fromStdString(Words(random, 10 + random() % 40));
            cursor.insertText(text, format);
            total += text.size();
        }
        cursor.insertBlock();
    }
    cursor.endEditBlock();
}

void BenchExport() {
    QTextDocument document;
    FillTopic(document);
    std::size_t bytes = 0;
    auto count = [&bytes](const char*, std::size_t size) {
        bytes += size;
        return true;
    };
    const double exportSeconds = BestSeconds([&] {
        bytes = 0;
        ExportRtf(document, count);
    });
    // Qt's own rich-text writer on the same document.
    volatile qsizetype htmlSize = 0;
    const double htmlSeconds = BestSeconds([&] { htmlSize = document.toHtml().size(); });
    // Only visiting every run and copying its text: what any exporter must do.
    volatile std::size_t visited = 0;
    const double walkSeconds = BestSeconds([&] {
        std::size_t n = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) n += it.fragment().text().toUtf8().size();
        visited = n;
    });
    PrintLine("save 2 MB topic as RTF (ms, lower is better)", exportSeconds * 1e3, "ms", "QTextDocument::toHtml",
              htmlSeconds * 1e3);
    PrintLine("save 2 MB topic as RTF (ms, lower is better)", exportSeconds * 1e3, "ms", "walk runs + UTF-8",
              walkSeconds * 1e3);
    std::printf("  (RTF written: %.1f MB)\n", bytes / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    BenchWriter("RTF writer, dense short runs (10 MB)", true);
    BenchWriter("RTF writer, mostly plain text (10 MB)", false);
    BenchExport();
    return 0;
}
