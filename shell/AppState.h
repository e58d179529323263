#pragma once
// The one process-wide state record. Procedures of the shell, editor and folder
// layers read and write it; ExitApplication releases it.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace quorlin {

namespace platform {
class MainWindow;
class EditorWidget;
class TopicListWidget;
}  // namespace platform

// The editor's selection as character indexes, cpMin <= cpMax.
struct CharRange {
    int32_t cpMin = 0;
    int32_t cpMax = 0;
};

// COLORREF layout: 0x00BBGGRR.
using ColorRef = uint32_t;

struct AppState {
    platform::MainWindow* mainWindow = nullptr;
    platform::EditorWidget* editorHandle = nullptr;
    platform::TopicListWidget* topicListHandle = nullptr;

    QString buildTag;
    QString topicFolderName;
    QString archiveName;
    QString fontName;
    int32_t fontSize = 0;
    ColorRef textColor = 0;

    QString currentFile;
    uint8_t modified = 0;
    int32_t quitRequested = 0;
    int32_t lastEvent = 0;

    CharRange selectionRange;
    int32_t caretLine = 0;
    int32_t caretColumn = 0;
    int32_t lineCount = 0;

    QString topicFolderPath;
    int32_t folderFileCount = 0;
    QStringList foundTopics;
    // Slot i holds the path behind row i-1 of the topic list; slot 0 stays empty.
    // Empty list: no array was made (no folder, or a count of 0).
    QStringList topicFiles;
    QStringList extensionFilters;
    bool filtersBuilt = false;
    int32_t foundCount = 0;

    QStringList packEntries;
    // 64-bit: files of 2 GiB and more are packed with their real size.
    int64_t packItemSize = 0;
};

// The record itself. Zero-filled at process start, as ResetAppState leaves it.
extern AppState app;

// Back to the zero-filled state (tests start every case from here).
void ResetAppState();

// Slot i of topicFiles, or the empty string for a slot that does not exist.
QString TopicFileSlot(int index);

}  // namespace quorlin
