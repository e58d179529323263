#pragma once
// Helpers for the reader tests: read RTF held in a string, whole or in pieces.

#include "rtf/EventLog.h"
#include "rtf/Reader.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace quorlin::rtf::test {

// Wraps a document body in the RTF header most tests need.
inline std::string Doc(const std::string& body) { return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}" + body + "}"; }

inline std::string Events(const std::string& rtf, std::size_t piece = 0) {
    EventLog log;
    Reader reader(log);
    if (piece == 0) piece = std::max<std::size_t>(rtf.size(), 1);
    for (std::size_t at = 0; at < rtf.size(); at += piece) reader.feed(rtf.data() + at, std::min(piece, rtf.size() - at));
    reader.finish();
    return log.str();
}

inline std::string Text(const std::string& rtf) {
    TextLog log;
    ReadRtf(rtf, log);
    return log.str();
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace quorlin::rtf::test
