#pragma once
// Writes a QTextDocument's whole content as RTF.

#include <cstddef>
#include <functional>

class QTextDocument;

namespace quorlin {

// out receives the RTF in pieces and answers false to stop; the result is false
// when out stopped the stream.
using RtfOutput = std::function<bool(const char* data, std::size_t size)>;
bool ExportRtf(const QTextDocument& document, const RtfOutput& out);

}  // namespace quorlin
