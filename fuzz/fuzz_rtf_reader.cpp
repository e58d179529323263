// Feeds arbitrary bytes to the RTF reader, whole and in pieces of a size the
// input's length picks, and stops when the two readings differ.
#include "rtf/EventLog.h"
#include "rtf/Reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The piece size comes from the length, so corpus files are read as they are.
    const size_t piece = 1 + size % 17;
    const char* bytes = reinterpret_cast<const char*>(data);
    const size_t length = size;

    quorlin::rtf::EventLog whole;
    quorlin::rtf::ReadRtf(std::string_view(bytes, length), whole);

    quorlin::rtf::EventLog pieces;
    quorlin::rtf::Reader reader(pieces);
    for (size_t at = 0; at < length; at += piece) reader.feed(bytes + at, piece < length - at ? piece : length - at);
    reader.finish();

    if (whole.str() != pieces.str()) {
        std::fprintf(stderr, "events differ in pieces of %zu\n--- whole\n%s--- pieces\n%s", piece, whole.str().c_str(),
                     pieces.str().c_str());
        std::abort();
    }
    return 0;
}
