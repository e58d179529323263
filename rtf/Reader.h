#pragma once
// Reads RTF into a stream of document events. A push parser: feed() takes the
// bytes in pieces of any size, finish() ends the document. Damaged input is read
// as far as it goes and never makes the reader crash, hang or grow without bound.
// Input that does not start with "{\rtf" is read as plain text (UTF-8 when valid,
// else Windows-1252), one paragraph per line.

#include "rtf/Document.h"

#include <cstddef>
#include <memory>
#include <string_view>

namespace quorlin::rtf {

class Reader {
public:
    // Groups nested deeper than this are counted, not stacked: their formatting
    // stays that of the deepest stacked group.
    static constexpr std::size_t kMaxDepth = 1024;

    explicit Reader(Sink& sink);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    void feed(const char* data, std::size_t size);
    // Closes what is still open and calls Sink::endDocument(); later calls do nothing.
    void finish();

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Reads a whole document held in memory.
void ReadRtf(std::string_view bytes, Sink& sink);

}  // namespace quorlin::rtf
