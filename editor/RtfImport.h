#pragma once
// Reads RTF bytes, fed in pieces of any size, into a QTextDocument.

#include <QTextCharFormat>
#include <cstddef>
#include <memory>

class QTextDocument;

namespace quorlin {

class RtfImporter {
public:
    // hostDefault gives what the RTF leaves open (the face when a run names none).
    RtfImporter(QTextDocument& document, const QTextCharFormat& hostDefault);
    ~RtfImporter();
    RtfImporter(const RtfImporter&) = delete;
    RtfImporter& operator=(const RtfImporter&) = delete;

    void feed(const char* data, std::size_t size);
    // Replaces the document's whole content with what was read, in one edit block.
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorlin
