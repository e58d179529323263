// The status bar's caret query (ShowCaretPosition, run on every pass of the
// event loop) at the end of a 100,000-line topic against the same in a 10-line
// one, each in the started program with the editor laid out. Also right after
// typing a character at the end and at the start, where the line index must
// take in the change before it answers. One line per figure: per-call cost,
// baseline, ratio.
#include "BenchSupport.h"

#include "platform/Events.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "shell/EventLoop.h"
#include "shell/Startup.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace {

using namespace quorlin;
using namespace quorlin::bench;

constexpr int kBigLines = 100'000;
constexpr int kSmallLines = 10;
constexpr int kCalls = 20'000;
constexpr int kRounds = 5;
constexpr int kTypingRounds = 4;
constexpr int kTypedPerRound = 200;

struct Figures {
    double atEnd = 0;       // ns per call
    double typedEnd = 0;    // ns per call, each after one character typed at the end
    double typedStart = 0;  // the same at the start
    double keyEnd = 0;      // us for the editor to take a key at the end, for scale
    double keyStart = 0;
};

void Settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    platform::Queue().clear();
}

// The editor lays out large documents in steps; wait for the last block.
void WaitForLayout(QTextDocument* document) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const QTextLayout* last = document->lastBlock().layout();
        if (last && last->lineCount() > 0) break;
        if (timer.elapsed() > 60'000) {
            std::fprintf(stderr, "benchmark stopped: the editor never finished its layout\n");
            std::exit(2);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    Settle();
}

void TypeCharacter(QWidget* editor, char c) {
    const QString text(QLatin1Char{c});
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, text);
    QCoreApplication::sendEvent(editor, &press);
    QCoreApplication::sendEvent(editor, &release);
}

double BestPerCall() {
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < kCalls; ++i) ShowCaretPosition();
        best = std::min(best, SecondsSince(start) / kCalls);
    }
    return best * 1e9;
}

// Each round types enough to wrap the line at least once; its figure is the
// mean over every call, so a query that now and then recounts the whole
// document shows, and the best round keeps out the noise of other processes.
double PerCallAfterTyping(platform::EditorWidget* editor, double& keystroke) {
    double best = 1e300;
    keystroke = 1e300;
    const int before = editor->document()->characterCount();
    for (int round = 0; round < kTypingRounds; ++round) {
        double total = 0;
        double typing = 0;
        for (int i = 0; i < kTypedPerRound; ++i) {
            const auto typed = Clock::now();
            TypeCharacter(editor, i % 6 == 5 ? ' ' : char('a' + i % 26));
            // What the loop's wait does before the pass: deliver what the key set off.
            QCoreApplication::processEvents();
            typing += SecondsSince(typed);
            platform::Queue().clear();
            const auto start = Clock::now();
            ShowCaretPosition();
            total += SecondsSince(start);
        }
        best = std::min(best, total / kTypedPerRound);
        keystroke = std::min(keystroke, typing / kTypedPerRound);
    }
    if (editor->document()->characterCount() != before + kTypingRounds * kTypedPerRound) {
        std::fprintf(stderr, "benchmark stopped: typing did not reach the editor\n");
        std::exit(2);
    }
    keystroke *= 1e6;
    return best * 1e9;
}

Figures Measure(int lines) {
    WorkingDirectory directory;
    directory.write(QStringLiteral("Topic.rtf"), LinesTopic(lines));
    if (!StartApplication()) std::exit(2);
    RunPendingPasses();
    platform::EditorWidget* editor = app.editorHandle;
    QTextDocument* document = editor->document();
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    WaitForLayout(document);
    RunPendingPasses();
    ShowCaretPosition();
    if (app.lineCount < lines || app.caretLine != app.lineCount - 1) {
        std::fprintf(stderr, "benchmark stopped: %d lines, caret on line %d, expected %d lines\n", app.lineCount,
                     app.caretLine, lines);
        std::exit(2);
    }

    Figures figures;
    figures.atEnd = BestPerCall();
    figures.typedEnd = PerCallAfterTyping(editor, figures.keyEnd);
    editor->moveCursor(QTextCursor::Start);
    Settle();
    ShowCaretPosition();
    figures.typedStart = PerCallAfterTyping(editor, figures.keyStart);
    ExitApplication();
    QCoreApplication::processEvents();
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    NoDialogs dialogs;
    const Figures small = Measure(kSmallLines);
    const Figures big = Measure(kBigLines);
    Report("caret query, end of 100,000 vs 10 lines", big.atEnd, small.atEnd, "ns");
    Report("caret query after typing at the end", big.typedEnd, small.typedEnd, "ns");
    Report("caret query after typing at the start", big.typedStart, small.typedStart, "ns");
    // Not ours to speed up, but the scale the caret query is seen against.
    Report("editor taking a key at the end", big.keyEnd, small.keyEnd, "us");
    Report("editor taking a key at the start", big.keyStart, small.keyStart, "us");
    return 0;
}
