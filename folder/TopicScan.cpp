#include "folder/TopicScan.h"

#include "folder/FolderListing.h"
#include "folder/FolderNames.h"
#include "folder/ShellListing.h"
#include "folder/WindowsCommandLine.h"
#include "shell/AppState.h"

#include <QDir>

namespace quorlin {
namespace {

bool IsSeparator(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

// One code unit at a time, so lengths never change (no "SS" for a sharp s).
QString UpperCase(const QString& text) {
    QString upper = text;
    for (QChar& c : upper) c = c.toUpper();
    return upper;
}

QString WithoutTrailingSeparators(QString path) {
    while (!path.isEmpty() && IsSeparator(path.back())) path.chop(1);
    return path;
}

void BuildExtensionFilters(QString pattern) {
    pattern.remove(QStringLiteral("*."));
    app.extensionFilters.clear();
    for (const QString& field : pattern.split(QLatin1Char('|'), Qt::KeepEmptyParts))
        app.extensionFilters.append(UpperCase(field));
    app.filtersBuilt = true;
}

void AddMatches(const QString& folder, const QString& name, QStringList& results) {
    const QString extension = ExtensionOf(UpperCase(name));
    for (const QString& filter : app.extensionFilters) {
        if (filter != QLatin1String("*") && filter != extension) continue;
        results.append(folder::JoinPath(folder, name));
        ++app.foundCount;
    }
}

void SearchFolder(const QString& folder, QStringList& results, int32_t recurse, folder::VisitedFolders& visited) {
    std::vector<folder::FolderEntry> entries;
    if (!folder::ListFolder(folder, entries)) return;
    for (const folder::FolderEntry& entry : entries) {
        if (!entry.isDirectory) {
            AddMatches(folder, entry.name, results);
        } else if (recurse == 1) {
            const QString sub = folder::JoinPath(folder, entry.name);
            if (visited.enter(sub)) SearchFolder(sub, results, recurse, visited);
        }
    }
}

void CopyFoundIntoSlots() {
    // The count and the search can disagree; paths beyond the last slot are dropped.
    const qsizetype slotCount = app.topicFiles.size();
    for (qsizetype i = 0; i < app.foundTopics.size() && i + 1 < slotCount; ++i) app.topicFiles[i + 1] = app.foundTopics.at(i);
}

}  // namespace

int32_t CountFolderFiles(const QString& folderPath) {
    const QString folder = WithoutTrailingSeparators(folderPath);
    if (!folder::IsExistingDirectory(folder)) return -1;
    const QString shell = folder::EnvironmentValueIgnoringCase(QStringLiteral("comspec"));
    if (!shell.isEmpty()) {
        const QString parameters = QStringLiteral("/c dir /b /a-d \"") + folderPath + QLatin1Char('"');
        const auto lines = folder::CountOutputLines(folder::SplitCommandLine(folder::BuildCommandLine(shell, parameters)));
        if (lines) return *lines;
    }
    return folder::CountNonDirectoryEntries(folder);
}

int32_t FindFilesByExtension(const QString& folder, QStringList& results, const QString& pattern, int32_t recurse) {
    if (!app.filtersBuilt) BuildExtensionFilters(pattern);
    folder::VisitedFolders visited;
    visited.enter(folder);
    SearchFolder(folder, results, recurse, visited);
    return app.foundCount;
}

QString ExtensionOf(const QString& name) {
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        const QChar c = name.at(i);
        if (IsSeparator(c) || c == QLatin1Char(' ')) return QString();
        if (c != QLatin1Char('.')) continue;
        if (i == 0 || IsSeparator(name.at(i - 1))) return QString();
        const QString rest = name.mid(i + 1);
        const qsizetype quote = rest.indexOf(QLatin1Char('"'));
        return quote < 0 ? rest : rest.left(quote);
    }
    return QString();
}

QString DisplayNameOf(const QString& path) {
    qsizetype start = path.size();
    while (start > 0 && !IsSeparator(path.at(start - 1))) --start;
    QString name = path.mid(start);
    if (name.startsWith(QLatin1Char('"'))) name.remove(0, 1);
    const qsizetype quote = name.indexOf(QLatin1Char('"'));
    if (quote >= 0) name.truncate(quote);
    for (qsizetype i = name.size() - 1; i >= 1; --i) {
        if (name.at(i) == QLatin1Char(' ')) break;
        if (name.at(i) != QLatin1Char('.')) continue;
        if (i != name.size() - 1) name.truncate(i);
        break;
    }
    return name;
}

void ScanTopicFolder() {
    const QString folderName = folder::TopicFolderName();
    const QString current = QDir::currentPath();
    app.topicFolderPath = folder::JoinPath(current, folderName);
    app.folderFileCount = CountFolderFiles(app.topicFolderPath);
    app.foundTopics = QStringList();
    app.topicFiles = QStringList();
    if (app.folderFileCount + 1 > 0) app.topicFiles.resize(app.folderFileCount + 1);
    const int32_t found = FindFilesByExtension(folderName, app.foundTopics, QStringLiteral("*.rtf"), 0);
    if (found != 0) CopyFoundIntoSlots();
}

}  // namespace quorlin
