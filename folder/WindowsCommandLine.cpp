#include "folder/WindowsCommandLine.h"

namespace quorlin::folder {
namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

constexpr char16_t kQuote = u'"';
constexpr char16_t kBackslash = u'\\';

// The program name: no escapes, quotes only delimit. Returns the index after it.
qsizetype TakeProgram(const QString& line, QString& program) {
    qsizetype i = 0;
    if (i < line.size() && line.at(i) == kQuote) {
        const qsizetype close = line.indexOf(kQuote, 1);
        const qsizetype end = close < 0 ? line.size() : close;
        program = line.mid(1, end - 1);
        return close < 0 ? end : end + 1;
    }
    while (i < line.size() && !IsBlank(line.at(i))) ++i;
    program = line.left(i);
    return i;
}

// Handles a run of backslashes starting at i; returns the index after what it took.
qsizetype TakeBackslashes(const QString& line, qsizetype i, QString& arg) {
    qsizetype count = 0;
    while (i < line.size() && line.at(i) == kBackslash) ++count, ++i;
    if (i >= line.size() || line.at(i) != kQuote) {
        arg += QString(count, QChar(kBackslash));
        return i;
    }
    arg += QString(count / 2, QChar(kBackslash));
    if (count % 2 == 1) {
        arg += QChar(kQuote);
        return i + 1;
    }
    return i;  // the quote is a delimiter: handled by the caller
}

// A delimiting quote at i. Returns the index after what it took.
qsizetype TakeQuote(const QString& line, qsizetype i, QString& arg, bool& inQuotes) {
    if (inQuotes && i + 1 < line.size() && line.at(i + 1) == kQuote) {
        arg += QChar(kQuote);
        inQuotes = false;
        return i + 2;
    }
    inQuotes = !inQuotes;
    return i + 1;
}

}  // namespace

QString BuildCommandLine(const QString& program, const QString& parameters) {
    const QString quoted = program.startsWith(QChar(kQuote)) ? program : QChar(kQuote) + program + QChar(kQuote);
    return quoted + QLatin1Char(' ') + parameters;
}

QStringList SplitCommandLine(const QString& line) {
    QStringList args;
    QString program;
    qsizetype i = TakeProgram(line, program);
    args << program;
    for (;;) {
        while (i < line.size() && IsBlank(line.at(i))) ++i;
        if (i >= line.size()) break;
        QString arg;
        bool inQuotes = false;
        while (i < line.size() && (inQuotes || !IsBlank(line.at(i)))) {
            const QChar c = line.at(i);
            if (c == kBackslash)
                i = TakeBackslashes(line, i, arg);
            else if (c == kQuote)
                i = TakeQuote(line, i, arg, inQuotes);
            else
                arg += c, ++i;
        }
        args << arg;
    }
    return args;
}

}  // namespace quorlin::folder
