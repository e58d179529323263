// Startup of the program up to the end of the first pass of the event loop with
// 1,000 small topics in "RTF Folder", against the same with the folder empty.
// Rounds alternate between the two folders; the figure is the median.
#include "BenchSupport.h"

#include "shell/EventLoop.h"
#include "shell/Startup.h"

#include <QApplication>

namespace {

using namespace quorlin;
using namespace quorlin::bench;

constexpr int kTopics = 1000;
constexpr int kRounds = 15;

// About 2 KB: a heading, a few paragraphs with the odd bold or italic run.
std::string SmallTopic(int n) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}}"
                      "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue192;}\\f0\\fs24\n"
                      "{\\f1\\fs32\\b Topic " + std::to_string(n) + "}\\par\n";
    for (int p = 0; p < 6; ++p)
        rtf += "This topic explains how to {\\b open} a file, choose a {\\i format} and save the "
               "result; see the {\\cf2 related topics} at the end of the list. Paragraph " +
               std::to_string(p) + " of topic " + std::to_string(n) + ".\\par\n";
    return rtf + "}";
}

// Seconds from StartApplication() to the end of the first RunPendingPasses().
double StartOnce(const WorkingDirectory& directory) {
    QDir::setCurrent(directory.path());
    const auto start = Clock::now();
    if (!StartApplication()) std::exit(2);
    RunPendingPasses();
    const double seconds = SecondsSince(start);
    ExitApplication();
    QCoreApplication::processEvents();
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    NoDialogs dialogs;
    WorkingDirectory empty;
    WorkingDirectory full;
    for (int i = 0; i < kTopics; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Topic %04d.rtf", i);
        full.write(QString::fromLatin1(name), SmallTopic(i));
    }
    // The first start pays for fonts, styles and the platform plugin.
    StartOnce(empty);
    StartOnce(full);
    std::vector<double> withTopics;
    std::vector<double> withoutTopics;
    for (int round = 0; round < kRounds; ++round) {
        withoutTopics.push_back(StartOnce(empty));
        withTopics.push_back(StartOnce(full));
    }
    Report("startup, 1,000 topics vs empty folder", Median(withTopics) * 1e3, Median(withoutTopics) * 1e3, "ms");
    return 0;
}
