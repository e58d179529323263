#pragma once
// A new file written beside its target and renamed over it only when complete,
// so the old file stays byte for byte until then.

#include <QString>

namespace quorlin::folder {

class ReplacementFile {
public:
    explicit ReplacementFile(const QString& target);
    ~ReplacementFile();  // deletes the temporary file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file; false with error() set when it cannot.
    bool open();
    int fd() const { return fd_; }
    // Flushes to disk, closes and renames over the target; false with error() set.
    bool commit();
    // Closes and deletes the temporary file.
    void discard();
    QString error() const { return error_; }

private:
    bool fail(int errorNumber);

    QString target_;
    QByteArray tempPath_;
    int fd_ = -1;
    QString error_;
};

// The system's text for an errno value.
QString SystemReason(int errorNumber);

}  // namespace quorlin::folder
