// Packs 1,000 generated topics (about 10 MB) with the archive core and, as the
// baseline, with bsdtar's zip writer at the same level on the same folder.
#include "folder/HelpArchive.h"
#include "folder/ZipWriter.h"
#include "shell/AppState.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTopics = 1000;
constexpr int kTopicBytes = 10 * 1000;
constexpr int kRounds = 5;

const char* const kWords[] = {"help",  "topic", "the",    "window", "click", "button", "save",  "file",
                              "folder", "list", "format", "bold",   "font",  "colour", "editor", "open",
                              "and",   "to",    "select", "text",   "menu",  "archive", "of",    "a"};

// RTF-like text: a header, then paragraphs of words with the odd formatting group.
QByteArray TopicText(QRandomGenerator& random) {
    QByteArray text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs24 ";
    while (text.size() < kTopicBytes) {
        const char* word = kWords[random.bounded(int(std::size(kWords)))];
        const quint32 roll = random.bounded(40);
        if (roll == 0) text += "\\par\n";
        if (roll == 1) text += "{\\b ";
        text += word;
        text += roll == 1 ? "} " : " ";
    }
    text.truncate(kTopicBytes - 2);
    return text + "}\n";
}

void MakeTopics(const QString& folder) {
    QDir().mkpath(folder);
    QRandomGenerator random(20240611);
    for (int i = 0; i < kTopics; ++i) {
        QFile file(QStringLiteral("%1/Topic %2.rtf").arg(folder).arg(i, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(TopicText(random)) != kTopicBytes) std::abort();
    }
}

double PackWithCore() {
    QElapsedTimer timer;
    timer.start();
    quorlin::app.packEntries.clear();
    quorlin::CollectFolderEntries(QStringLiteral("RTF Folder"), 0);
    quorlin::folder::ArchiveJob job;
    job.paths = quorlin::app.packEntries;
    job.archivePath = QDir::current().filePath(QStringLiteral("Help.zip"));
    const auto report = quorlin::folder::WriteHelpArchive(job);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (report.outcome != quorlin::folder::ArchiveOutcome::Complete) std::abort();
    return ms;
}

double PackWithBsdtar() {
    QFile::remove(QStringLiteral("x.zip"));
    QElapsedTimer timer;
    timer.start();
    const int code = QProcess::execute(QStringLiteral("bsdtar"),
                                       {"-a", "-cf", "x.zip", "--options", "zip:compression-level=6", "RTF Folder"});
    const double ms = timer.nsecsElapsed() / 1e6;
    if (code != 0) std::abort();
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path())) return 1;
    MakeTopics(QStringLiteral("RTF Folder"));
    std::vector<double> core, baseline;
    for (int round = 0; round < kRounds; ++round) {
        core.push_back(PackWithCore());
        baseline.push_back(PackWithBsdtar());
    }
    const double figure = Median(core);
    const double base = Median(baseline);
    std::printf("help_zip_1000_topics_10MB: %.1f ms  baseline bsdtar: %.1f ms  ratio %.2f  (archives %lld vs %lld bytes)\n",
                figure, base, figure / base, static_cast<long long>(QFileInfo(QStringLiteral("Help.zip")).size()),
                static_cast<long long>(QFileInfo(QStringLiteral("x.zip")).size()));
    return 0;
}
