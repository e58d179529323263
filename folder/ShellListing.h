#pragma once
// Runs the command shell and counts the lines it writes to standard output.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace quorlin::folder {

// The value of the environment variable whose name equals `name` without regard
// to letter case (the first such in the environment); empty when there is none.
QString EnvironmentValueIgnoringCase(const QString& name);

// Counts output lines fed in pieces of any size: a line ends at LF or at the end
// of the output, so a last line without LF still counts; a CR does not end a line.
class LineCounter {
public:
    void feed(const char* data, std::size_t size);
    int32_t lines() const { return complete_ + (pending_ ? 1 : 0); }

private:
    int32_t complete_ = 0;
    bool pending_ = false;
};

// Starts arguments[0] (searched in PATH) with the rest as its arguments, standard
// output through a pipe, standard input and error inherited; reads the pipe until
// it closes, reaps the child and returns the number of lines. nullopt when the
// program cannot be started.
std::optional<int32_t> CountOutputLines(const QStringList& arguments);

}  // namespace quorlin::folder
