#pragma once
// The texts the program shows the user, made in one place.

#include <QString>
#include <QStringList>

namespace quorlin::messages {

inline const QString kErrorCaption = QStringLiteral("ERROR");
inline const QString kWindowTitlePrefix = QStringLiteral("Quorlin Using RTF Files -  Version 1.0   build: ");

// Startup failures, in the order of the steps that can fail.
inline const QString kCannotOpenWindow = QStringLiteral("UNABLE TO OPEN WINDOW");
inline const QString kCannotCreateMenus = QStringLiteral("UNABLE TO CREATE MENUS");
inline const QString kCannotCreateToolbar = QStringLiteral("UNABLE TO CREATE TOOLBAR");
inline const QString kCannotCreateEditor = QStringLiteral("RICHEDIT CREATION FAILED");
inline const QString kCannotCreateList = QStringLiteral("listGad CREATION FAILED");
inline const QString kCannotCreateStatusBar = QStringLiteral("STATUSBAR CREATION FAILED");

inline const QString kHelpCaption = QStringLiteral("A little help");
inline const QString kHelpText = QStringLiteral(
    "Program to gather files (RTF format). Each file can then be  'exported' to a SQLite file. "
    "If you wish, you can also 'import' RTF files directly from 'Microsoft Word' or any simailar "
    "editor (much easier).");
inline const QString kAboutCaption = QStringLiteral("Quorlin");
inline const QString kAboutText = QStringLiteral("Version 1.0");

inline const QString kSavePromptText = QStringLiteral("SAVE CURRENT FILE?");
inline const QString kSavePromptCaption = QStringLiteral("!");
inline const QString kSaveDialogTitle = QStringLiteral("SAVE FILE AS ..");
inline const QString kSaveDialogName = QStringLiteral("newfile.rtf");
inline const QString kLoadDialogTitle = QStringLiteral("LOAD FILE ..");
inline const QString kFilePattern = QStringLiteral("RichText File (*.rtf)| *.rtf");

inline const QString kArchiveFailedCaption = QStringLiteral("End");
inline const QString kArchiveFailedText = QStringLiteral("You have a Compression Error");
inline const QString kArchiveDoneCaption = QStringLiteral("Done");
inline const QString kArchiveDoneText = QStringLiteral("Everything Compressed");
inline const QString kArchiveCancelledCaption = QStringLiteral("Cancelled");
inline const QString kPackingTitle = QStringLiteral("Zip Folder");
// Why a file was left out of the archive, when the system gives no reason of its own.
inline const QString kNotRegularFile = QStringLiteral("not a regular file");
inline const QString kNameNotStorable = QStringLiteral("its name cannot be stored in a zip archive");
inline const QString kFileShrank = QStringLiteral("the file got shorter while it was being packed");

QString PackingLabel(const QString& folderName, const QString& archiveName);
// One line of the closing box: the path and why it was left out.
QString LeftOutLine(const QString& path, const QString& reason);

// "UNABLE TO SAVE FILE", a line break, the path, ": " and the system's reason.
QString SaveFailedText(const QString& path, const QString& reason);

// The closing text when some files could not be packed: how many, and the
// first ten of them, then "and N more".
QString ArchiveIncompleteText(const QStringList& leftOut);

QString ArchiveCancelledText(const QString& archiveName);

// "Char C Line L of N lines", all 1-based but the count.
QString CaretPositionText(int caretColumn, int caretLine, int lineCount);

}  // namespace quorlin::messages
