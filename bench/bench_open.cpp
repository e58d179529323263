// Opening a 2 MB topic into the editor of the started program (read, import,
// lay out, first pass) and saving it, against building the same content in the
// same editor with direct QTextCursor inserts of formats made beforehand, the
// floor Qt allows. Then peak memory opening a 10 MB topic, measured in a child
// process so earlier allocations do not hide it, as a multiple of the file
// size and against the same direct inserts. One line per figure: figure,
// baseline, ratio.
#include "BenchSupport.h"

#include "editor/TopicDocuments.h"
#include "platform/Widgets.h"
#include "rtf/Reader.h"
#include "shell/AppState.h"
#include "shell/EventLoop.h"
#include "shell/Startup.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <fstream>
#include <sstream>

namespace {

using namespace quorlin;
using namespace quorlin::bench;

constexpr int kRounds = 5;

// Help prose as an editor saves it: a run per format change (face, size,
// bold, italic, underline, colour), Unicode with fallbacks, space after each
// paragraph. No tables or lists, so the direct inserts can build the very same
// document.
std::string FormattedTopic(std::size_t bytes) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
                      "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;\\red0\\green0\\blue160;}\n";
    for (int i = 0; rtf.size() < bytes; ++i) {
        rtf += "\\pard\\sa120\\plain\\f0\\fs24 To {\\b save a topic}, choose {\\i Save} from the "
               "{\\f1\\fs20 File} menu; the {\\ul caf\\u233\\'e9 na\\u239\\'efve} text keeps its "
               "{\\cf2 colour} and {\\cf3\\b\\i formats} \\u8212\\'97 paragraph " +
               std::to_string(i) + " of the help topic, written the way authors write them.";
        if (i % 5 == 0) rtf += " {\\f1\\fs28\\b A heading-sized run}";
        rtf += "\\par\n";
    }
    return rtf + "}";
}

std::string ReadFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// What the importer would insert, with its formats made up front, so the floor
// is only the inserts.
class Recorder final : public rtf::Sink {
public:
    struct Item {
        QString text;  // null: a paragraph end
        int format = 0;
    };
    std::vector<Item> items;
    std::vector<QTextCharFormat> formats;
    QTextBlockFormat blockFormat;

    void text(std::string_view utf8, const rtf::CharFormat& f) override {
        items.push_back({QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), formatIndex(f)});
    }
    void tab(const rtf::CharFormat& f) override { items.push_back({QStringLiteral("\t"), formatIndex(f)}); }
    void lineBreak(const rtf::CharFormat& f) override { items.push_back({QString(QChar::LineSeparator), formatIndex(f)}); }
    void picture(const rtf::Picture&, const rtf::CharFormat&) override {}
    void paragraphEnd(const rtf::ParaFormat& p) override {
        blockFormat = QTextBlockFormat();
        blockFormat.setAlignment(Qt::AlignLeft);
        if (p.spaceAfter) blockFormat.setBottomMargin(p.spaceAfter / 15.0);
        items.push_back({});
    }
    void cellEnd(const rtf::ParaFormat& p) override { paragraphEnd(p); }
    void rowEnd(const rtf::RowFormat&) override {}
    void endDocument() override {}

    void record(const std::string& rtf) {
        rtf::Reader reader(*this);
        reader.feed(rtf.data(), rtf.size());
        reader.finish();
    }

private:
    std::vector<rtf::CharFormat> seen_;
    int formatIndex(const rtf::CharFormat& f) {
        for (std::size_t i = 0; i < seen_.size(); ++i)
            if (seen_[i] == f) return int(i);
        seen_.push_back(f);
        formats.push_back(bench::FloorFormat(f));
        return int(formats.size() - 1);
    }
};

// The whole document laid out now rather than in the editor's idle steps, and
// the first pass of the loop run.
void LayOutAndPass(platform::EditorWidget* editor) {
    QTextDocument* document = editor->document();
    document->documentLayout()->blockBoundingRect(document->lastBlock());
    RunPendingPasses();
}

void OpenWithImporter(const QString& path) {
    app.currentFile = path;
    LoadTopicIntoEditor();
    LayOutAndPass(app.editorHandle);
}

// The same steps as a load (a document of its own, shown once complete) with
// the reading and the format conversion taken out.
void OpenWithInserts(const Recorder& recorded) {
    platform::EditorWidget* editor = app.editorHandle;
    auto* document = new QTextDocument;
    document->setDefaultFont(editor->document()->defaultFont());
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    bool blockUsed = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < recorded.items.size(); ++i) {
        if (!recorded.items[i].text.isNull()) continue;
        if (blockUsed) cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        for (std::size_t k = start; k < i; ++k)
            cursor.insertText(recorded.items[k].text, recorded.formats[recorded.items[k].format]);
        cursor.setBlockFormat(recorded.blockFormat);
        blockUsed = true;
        start = i + 1;
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(true);
    editor->setProgramEditing(true);
    editor->adoptDocument(document);
    editor->setProgramEditing(false);
    editor->moveCursor(QTextCursor::Start);
    LayOutAndPass(editor);
}

// Kilobytes from a line of /proc/self/status.
long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, length, field) == 0 && line[length] == ':') return std::stol(line.substr(length + 1));
    return -1;
}

// Child: start the program on an empty folder, then open the topic one way and
// print how far the peak rose above the resident size before it, in bytes.
int PeakChild(const QString& mode, const QString& path) {
    NoDialogs dialogs;
    WorkingDirectory directory;
    if (!StartApplication()) return 2;
    RunPendingPasses();
    Recorder recorded;
    if (mode == QLatin1String("inserts")) recorded.record(ReadFile(path));
    const long before = StatusKb("VmRSS");
    if (mode == QLatin1String("inserts")) OpenWithInserts(recorded);
    else OpenWithImporter(path);
    const long peak = StatusKb("VmHWM");
    std::printf("%ld\n", (peak - before) * 1024);
    ExitApplication();
    return 0;
}

double PeakRise(const QString& mode, const QString& path) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak"), mode, path});
    if (!child.waitForFinished(600'000) || child.exitCode() != 0) {
        std::fprintf(stderr, "benchmark stopped: the %s child failed\n", qPrintable(mode));
        std::exit(2);
    }
    return child.readAllStandardOutput().trimmed().toDouble();
}

template <typename Work>
double BestSeconds(Work work) {
    double best = 1e300;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, SecondsSince(start));
    }
    return best;
}

void OpenAndSave(const WorkingDirectory& directory, const QString& topic) {
    Recorder recorded;
    recorded.record(ReadFile(topic));
    if (!StartApplication()) std::exit(2);
    RunPendingPasses();

    // Both ways must give the same document, or the comparison means nothing.
    // (A load puts a new document into the editor.)
    OpenWithInserts(recorded);
    const QString floorText = app.editorHandle->document()->toPlainText();
    const int floorBlocks = app.editorHandle->document()->blockCount();
    OpenWithImporter(topic);
    if (app.editorHandle->document()->toPlainText() != floorText || app.editorHandle->document()->blockCount() != floorBlocks) {
        std::fprintf(stderr, "benchmark stopped: the direct inserts do not build the imported document\n");
        std::exit(2);
    }

    const double floor = BestSeconds([&] { OpenWithInserts(recorded); });
    const double open = BestSeconds([&] { OpenWithImporter(topic); });
    const QString saved = directory.path() + QStringLiteral("/Saved.rtf");
    const double save = BestSeconds([&] {
        app.currentFile = saved;
        if (SaveTopic() != SaveResult::Saved) std::exit(2);
    });
    ExitApplication();
    QCoreApplication::processEvents();
    Report("open 2 MB topic in editor vs direct inserts", open * 1e3, floor * 1e3, "ms");
    Report("save 2 MB topic vs direct inserts", save * 1e3, floor * 1e3, "ms");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0)
        return PeakChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    NoDialogs dialogs;
    WorkingDirectory directory;
    const QString topic = directory.write(QStringLiteral("Two.rtf"), FormattedTopic(2'000'000));
    OpenAndSave(directory, topic);

    const std::string big = FormattedTopic(10'000'000);
    const QString bigPath = directory.path() + QStringLiteral("/Ten.rtf");
    {
        QFile file(bigPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(big.data(), qint64(big.size())) != qint64(big.size()))
            std::abort();
    }
    const double importerRise = PeakRise(QStringLiteral("importer"), bigPath);
    const double insertsRise = PeakRise(QStringLiteral("inserts"), bigPath);
    Report("peak memory opening 10 MB topic vs its size", importerRise / 1e6, big.size() / 1e6, "MB");
    Report("peak memory, importer vs direct inserts", importerRise / 1e6, insertsRise / 1e6, "MB");
    return 0;
}
