// Without Qt: every corpus file read, written by the writer, and read again
// gives the same document, text and formats alike.
#include "rtf/Reader.h"
#include "rtf/Writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace quorlin::rtf {
namespace {

// The document as a list of items, with neighbouring runs of one format joined:
// how a reader splits text into runs is not part of the document.
class Model final : public Sink {
public:
    struct Item {
        char kind;  // t text, T tab, L line break, P picture, p paragraph, c cell, r row
        std::string text;
        CharFormat chars;
        ParaFormat para;
        RowFormat row;
        bool operator==(const Item&) const = default;
    };
    std::vector<Item> items;
    int ends = 0;

    void text(std::string_view utf8, const CharFormat& format) override {
        if (utf8.empty()) return;
        if (!items.empty() && items.back().kind == 't' && items.back().chars == normal(format)) {
            items.back().text += utf8;
            return;
        }
        items.push_back({'t', std::string(utf8), normal(format), {}, {}});
    }
    void tab(const CharFormat& format) override { items.push_back({'T', {}, normal(format), {}, {}}); }
    void lineBreak(const CharFormat& format) override { items.push_back({'L', {}, normal(format), {}, {}}); }
    void picture(const Picture& picture, const CharFormat& format) override {
        // Sizes the original left open are filled in when written: the bytes are what must survive.
        items.push_back({'P', std::to_string(int(picture.format)) + ":" + picture.data, normal(format), {}, {}});
    }
    void paragraphEnd(const ParaFormat& format) override { items.push_back({'p', {}, {}, normal(format), {}}); }
    void cellEnd(const ParaFormat& format) override { items.push_back({'c', {}, {}, normal(format), {}}); }
    void rowEnd(const RowFormat& format) override { items.push_back({'r', {}, {}, {}, format}); }
    void endDocument() override { ++ends; }

private:
    // A run without a face is written in font 0, which names the default face.
    static CharFormat normal(CharFormat f) {
        if (f.face.empty()) f.face = "Times New Roman";
        return f;
    }
    // List identities are numbers of the file's own; their order of first use is what counts.
    ParaFormat normal(ParaFormat f) {
        if (f.listKind != ListKind::None) f.listId = listIds_.emplace(f.listId, int(listIds_.size()) + 1).first->second;
        else f.listId = 0;
        return f;
    }
    std::map<int, int> listIds_;
};

std::string Describe(const Model::Item& item) {
    std::ostringstream s;
    s << item.kind << " '" << item.text.substr(0, 60) << "'";
    if (item.kind == 't' || item.kind == 'T' || item.kind == 'L' || item.kind == 'P') {
        const CharFormat& c = item.chars;
        s << " face=" << c.face << " fs=" << c.sizeHalfPoints << " b" << c.bold << " i" << c.italic << " u"
          << c.underline << " s" << c.strike << " color=" << (c.color ? int(c.color->r) * 65536 + c.color->g * 256 + c.color->b : -1)
          << " bg=" << (c.background ? int(c.background->r) * 65536 + c.background->g * 256 + c.background->b : -1)
          << " v" << int(c.vertical) << " link=" << c.link;
    } else if (item.kind == 'p' || item.kind == 'c') {
        const ParaFormat& p = item.para;
        s << " align" << int(p.align) << " li" << p.leftIndent << " ri" << p.rightIndent << " fi" << p.firstIndent
          << " sb" << p.spaceBefore << " sa" << p.spaceAfter << " sl" << p.lineSpacing << "/" << p.lineMultiple
          << " tabs" << p.tabs.size() << " list" << int(p.listKind) << ":" << p.listId << ":" << p.listLevel
          << " intbl" << p.inTable;
    } else if (item.kind == 'r') {
        s << " cells";
        for (int x : item.row.cellRight) s << " " << x;
        s << " left" << item.row.leftOffset;
    }
    return s.str();
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Write(std::string_view rtf) {
    std::string out;
    Writer writer([&out](const char* data, std::size_t size) {
        out.append(data, size);
        return true;
    });
    ReadRtf(rtf, writer);
    EXPECT_TRUE(writer.succeeded());
    return out;
}

void ExpectSameDocument(const std::string& original, const std::string& name) {
    Model first, second;
    ReadRtf(original, first);
    const std::string written = Write(original);
    ReadRtf(written, second);
    ASSERT_EQ(second.ends, 1) << name;
    const std::size_t n = std::min(first.items.size(), second.items.size());
    for (std::size_t i = 0; i < n; ++i) {
        ASSERT_EQ(Describe(first.items[i]), Describe(second.items[i])) << name << ", item " << i;
        ASSERT_TRUE(first.items[i] == second.items[i]) << name << ", item " << i << ": " << Describe(first.items[i]);
    }
    EXPECT_EQ(first.items.size(), second.items.size()) << name;
    // What we write, we read back to exactly the same bytes.
    EXPECT_EQ(Write(written), written) << name;
}

TEST(WriterRoundTrip, EveryCorpusFileReadsBackTheSame) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORLIN_CORPUS_DIR)) {
        if (entry.path().extension() != ".rtf") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ExpectSameDocument(ReadFile(entry.path()), entry.path().filename().string());
        ++files;
    }
    EXPECT_GE(files, 10);
}

TEST(WriterRoundTrip, HandMadeDocumentWithEveryFeature) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
        "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}}\\listid5}}"
        "{\\*\\listoverridetable{\\listoverride\\listid5\\listoverridecount0\\ls1}}"
        "\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1\\tqc\\tx2880 "
        "\\f1\\fs32 Big \\b bold\\b0  \\i it\\i0  \\ul ul\\ulnone  \\strike st\\strike0  \\cf1 red\\cf0 "
        " \\highlight2 hi\\highlight0  x\\super 2\\nosupersub  H\\sub 2\\nosupersub O\\tab t\\line l\\par"
        "\\pard\\ls1\\ilvl0 one\\par two\\par\\pard\\ls1\\ilvl1 sub\\par"
        "\\pard caf\\'e9 \\u8364? \\u-10179?\\u-8704? \\{\\}\\\\ "
        "{\\field{\\*\\fldinst HYPERLINK \"http://example.com\"}{\\fldrslt link}} after\\par"
        "\\trowd\\cellx2000\\cellx5000\\pard\\intbl a\\cell b\\par c\\cell\\row"
        "\\pard {\\pict\\pngblip\\picw1\\pich1\\picwgoal300\\pichgoal300 89504e470d0a1a0a}\\par}";
    ExpectSameDocument(rtf, "hand-made");
}

// Random documents: every kind of event, formats and text chosen to stress
// escaping and control-word delimiters.
class RandomDocument {
public:
    explicit RandomDocument(unsigned seed) : random_(seed) {}

    void emit(Sink& sink) {
        std::mt19937 saved = random_;
        const int blocks = 1 + pick(12);
        for (int b = 0; b < blocks; ++b) {
            if (pick(5) == 0) table(sink);
            else paragraph(sink, paraFormat(false), false);
        }
        sink.endDocument();
        random_ = saved;  // the same document again on the next call
    }

private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    std::string text() {
        static const char* pieces[] = {"a", "Z", "7", "-", " ", "\\", "{", "}", ";", "\"", "\xC3\xA9",
                                       "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xE2\x82\xAC", "\xEF\xBF\xBD", "word",
                                       "\xC2\xA0", "?"};
        std::string s;
        for (int n = 1 + pick(6); n > 0; --n) s += pieces[pick(sizeof pieces / sizeof *pieces)];
        return s;
    }

    CharFormat charFormat() {
        static const char* faces[] = {"", "Arial", "Times New Roman", "A{b}\\c", "Caf\xC3\xA9 Sans"};
        static const char* links[] = {"", "", "", "http://example.com/a b", "#anchor"};
        CharFormat f;
        f.bold = pick(2);
        f.italic = pick(3) == 0;
        f.underline = pick(4) == 0;
        f.strike = pick(6) == 0;
        f.face = faces[pick(5)];
        f.sizeHalfPoints = 2 + pick(150);
        if (pick(3) == 0) f.color = Color{uint8_t(pick(256)), uint8_t(pick(3)), 9};
        if (pick(6) == 0) f.background = Color{200, uint8_t(pick(256)), 0};
        f.vertical = static_cast<VerticalAlign>(pick(3));
        f.link = links[pick(5)];
        return f;
    }

    ParaFormat paraFormat(bool inTable) {
        ParaFormat p;
        p.align = static_cast<Align>(pick(4));
        if (pick(3) == 0) {
            p.leftIndent = pick(2000);
            p.rightIndent = pick(500);
            p.firstIndent = pick(1000) - 500;
            p.spaceBefore = pick(300);
            p.spaceAfter = pick(300);
        }
        if (pick(4) == 0) {
            p.lineSpacing = pick(600) - 300;
            p.lineMultiple = p.lineSpacing > 0 && pick(2);
        }
        for (int t = pick(3); t > 0; --t) p.tabs.push_back({720 * t + pick(100), static_cast<TabKind>(pick(4))});
        if (!inTable && pick(3) == 0) {
            p.listId = 1 + pick(3);
            p.listLevel = pick(3);
            p.listKind = static_cast<ListKind>(1 + (p.listId + p.listLevel) % 6);  // one kind per list level
        }
        p.inTable = inTable;
        return p;
    }

    void content(Sink& sink) {
        for (int n = pick(8); n > 0; --n) {
            const CharFormat f = charFormat();
            switch (pick(10)) {
            case 0: sink.tab(f); break;
            case 1: sink.lineBreak(f); break;
            case 2:
                if (pick(4) == 0) {
                    Picture picture;
                    picture.format = pick(2) ? PictureFormat::Png : PictureFormat::Jpeg;
                    picture.data = text();
                    sink.picture(picture, f);
                    break;
                }
                [[fallthrough]];
            default: sink.text(text(), f);
            }
        }
    }

    void paragraph(Sink& sink, const ParaFormat& format, bool lastInCell) {
        content(sink);
        if (lastInCell) sink.cellEnd(format);
        else sink.paragraphEnd(format);
    }

    void table(Sink& sink) {
        const int cells = 1 + pick(4);
        for (int rows = 1 + pick(3); rows > 0; --rows) {
            RowFormat row;
            for (int c = 0; c < cells; ++c) {
                for (int extra = pick(3) == 0; extra > 0; --extra) paragraph(sink, paraFormat(true), false);
                paragraph(sink, paraFormat(true), true);
                row.cellRight.push_back(1000 * (c + 1) + pick(500));
            }
            sink.rowEnd(row);
        }
    }

    std::mt19937 random_;
};

TEST(WriterRoundTrip, RandomDocumentsReadBackTheSame) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomDocument document(seed);
        Model expected, actual;
        document.emit(expected);
        std::string rtf;
        Writer writer([&rtf](const char* data, std::size_t size) {
            rtf.append(data, size);
            return true;
        });
        document.emit(writer);
        ReadRtf(rtf, actual);
        ASSERT_EQ(actual.items.size(), expected.items.size()) << "seed " << seed << "\n" << rtf;
        for (std::size_t i = 0; i < expected.items.size(); ++i) {
            ASSERT_EQ(Describe(actual.items[i]), Describe(expected.items[i])) << "seed " << seed << ", item " << i << "\n" << rtf;
            ASSERT_TRUE(actual.items[i] == expected.items[i]) << "seed " << seed << ", item " << i << "\n" << rtf;
        }
    }
}

}  // namespace
}  // namespace quorlin::rtf
