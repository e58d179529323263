#pragma once
// Fixtures shared by the topic-scan and help-archive tests: a scratch working
// directory, a scripted dialog provider and an independent zip reader.

#include "platform/Dialogs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorlin::foldertest {

// A fresh directory that is the process's working directory while this lives.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const QString& subPath = QString());
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    QString path() const { return path_; }
    // Writes a file (parent folders made), relative to the directory.
    void write(const QString& relative, const QByteArray& bytes) const;
    void makeFolder(const QString& relative) const;
    void link(const QString& target, const QString& relative) const;
    QByteArray read(const QString& relative) const;
    // Every entry of the directory itself, hidden ones too, sorted.
    QStringList topLevelNames() const;

private:
    QTemporaryDir root_;
    QString path_;
    QString previous_;
};

// Removes every spelling of "comspec" from the environment.
void UnsetComspec();

class ScriptedDialogs : public platform::DialogProvider {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    std::vector<platform::MessageRequest> messages;
    std::vector<platform::ProgressRequest> progressRequests;
    std::vector<int> advances;
    int cancelAtAdvance = -1;  // advance() answers false once done reaches this

    platform::MessageAnswer message(const platform::MessageRequest& request) override;
    QString fileName(const platform::FileDialogRequest& request) override;
    std::optional<platform::FontChoice> font(const platform::FontRequest& request) override;
    int64_t color() override;
    std::unique_ptr<platform::Progress> progress(const platform::ProgressRequest& request) override;
};

struct ZipEntry {
    QString name;
    QByteArray rawName;  // the stored bytes of the name
    int flags = 0;
    int method = 0;
    int64_t size = 0;
    uint32_t crc = 0;
};

struct ZipListing {
    bool readable = false;  // the reader opened it and every CRC matched
    std::vector<ZipEntry> entries;
    QStringList names() const;
};

// Reads an archive with Python's zipfile, which checks every entry's CRC.
ZipListing ReadZip(const QString& path);

uint32_t Crc32Of(const QByteArray& bytes);
QByteArray RandomBytes(int size, uint32_t seed);

}  // namespace quorlin::foldertest
