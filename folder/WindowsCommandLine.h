#pragma once
// Command lines in the form the system shell is started with: one string that
// the started program splits into its arguments.

#include <QString>
#include <QStringList>

namespace quorlin::folder {

// The program path in double quotes (left as it is when it already begins with
// one), one space, then the parameters.
QString BuildCommandLine(const QString& program, const QString& parameters);

// Splits a command line into arguments by the Windows rules: the first argument
// (the program) runs to the next space or tab, or, when quoted, to the next quote
// with no escapes; after it, whitespace separates arguments outside quotes,
// 2n backslashes before a quote give n backslashes and the quote toggles quoting,
// 2n+1 give n backslashes and a literal quote, other backslashes are literal, and
// "" inside quotes gives a literal quote and ends the quoted part.
QStringList SplitCommandLine(const QString& commandLine);

}  // namespace quorlin::folder
