#include "FolderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

extern char** environ;

namespace quorlin::foldertest {

ScratchDirectory::ScratchDirectory(const QString& subPath) : previous_(QDir::currentPath()) {
    path_ = subPath.isEmpty() ? root_.path() : root_.filePath(subPath);
    QDir().mkpath(path_);
    EXPECT_TRUE(QDir::setCurrent(path_));
}

ScratchDirectory::~ScratchDirectory() {
    QDir::setCurrent(previous_);
    // Tests take permissions away; give them back so the directory can go.
    QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+rwx"), root_.path()});
}

void ScratchDirectory::write(const QString& relative, const QByteArray& bytes) const {
    const QString full = QDir(path_).filePath(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << full.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void ScratchDirectory::makeFolder(const QString& relative) const { QDir(path_).mkpath(relative); }

void ScratchDirectory::link(const QString& target, const QString& relative) const {
    const QString full = QDir(path_).filePath(relative);
    QDir().mkpath(QFileInfo(full).path());
    ASSERT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(full).constData()), 0);
}

QByteArray ScratchDirectory::read(const QString& relative) const {
    QFile file(QDir(path_).filePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ScratchDirectory::topLevelNames() const {
    return QDir(path_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void UnsetComspec() {
    QList<QByteArray> names;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray text(*entry);
        const QByteArray name = text.left(text.indexOf('='));
        if (name.compare("comspec", Qt::CaseInsensitive) == 0) names << name;
    }
    for (const QByteArray& name : names) qunsetenv(name.constData());
}

namespace {

class ScriptedProgress : public platform::Progress {
public:
    explicit ScriptedProgress(ScriptedDialogs& owner) : owner_(owner) {}
    bool advance(int done) override {
        owner_.advances.push_back(done);
        return owner_.cancelAtAdvance < 0 || done < owner_.cancelAtAdvance;
    }

private:
    ScriptedDialogs& owner_;
};

}  // namespace

ScriptedDialogs::ScriptedDialogs() { platform::SetDialogProvider(this); }
ScriptedDialogs::~ScriptedDialogs() { platform::SetDialogProvider(nullptr); }

platform::MessageAnswer ScriptedDialogs::message(const platform::MessageRequest& request) {
    messages.push_back(request);
    return platform::MessageAnswer::Ok;
}

QString ScriptedDialogs::fileName(const platform::FileDialogRequest&) {
    ADD_FAILURE() << "unexpected file dialog";
    return QString();
}

std::optional<platform::FontChoice> ScriptedDialogs::font(const platform::FontRequest&) {
    ADD_FAILURE() << "unexpected font dialog";
    return std::nullopt;
}

int64_t ScriptedDialogs::color() {
    ADD_FAILURE() << "unexpected colour dialog";
    return -1;
}

std::unique_ptr<platform::Progress> ScriptedDialogs::progress(const platform::ProgressRequest& request) {
    progressRequests.push_back(request);
    return std::make_unique<ScriptedProgress>(*this);
}

QStringList ZipListing::names() const {
    QStringList list;
    for (const ZipEntry& entry : entries) list << entry.name;
    return list;
}

namespace {

// testzip() reads every entry and compares it with its CRC; the raw name is the
// stored bytes, re-encoded the way the reader decoded them.
const char* const kReaderScript = R"PY(
import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    bad = z.testzip()
    out = []
    for i in z.infolist():
        raw = i.filename.encode('utf-8' if i.flag_bits & 0x800 else 'cp437')
        out.append({'name': i.filename, 'raw': raw.hex(), 'flags': i.flag_bits,
                    'method': i.compress_type, 'size': i.file_size, 'crc': i.CRC})
print(json.dumps({'bad': bad, 'entries': out}))
)PY";

ZipEntry EntryFrom(const QJsonObject& object) {
    ZipEntry entry;
    entry.name = object.value("name").toString();
    entry.rawName = QByteArray::fromHex(object.value("raw").toString().toLatin1());
    entry.flags = object.value("flags").toInt();
    entry.method = object.value("method").toInt();
    entry.size = static_cast<int64_t>(object.value("size").toDouble());
    entry.crc = static_cast<uint32_t>(object.value("crc").toDouble());
    return entry;
}

}  // namespace

ZipListing ReadZip(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(kReaderScript), path});
    ZipListing listing;
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        ADD_FAILURE() << "zip reader failed: " << python.readAllStandardError().toStdString();
        return listing;
    }
    const QJsonObject result = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    listing.readable = result.value("bad").isNull();
    for (const QJsonValue& value : result.value("entries").toArray()) listing.entries.push_back(EntryFrom(value.toObject()));
    return listing;
}

uint32_t Crc32Of(const QByteArray& bytes) {
    return static_cast<uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()), static_cast<uInt>(bytes.size())));
}

QByteArray RandomBytes(int size, uint32_t seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, 0);  // a tail shorter than four bytes stays zero
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

}  // namespace quorlin::foldertest
