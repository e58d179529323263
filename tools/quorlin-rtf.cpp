// quorlin-rtf: reads topics exactly as the editor does, for scripts and tests.
//   quorlin-rtf text FILE          the visible text, one paragraph or cell per line
//   quorlin-rtf roundtrip IN OUT   read IN into a document and write it to OUT as RTF
// Exit codes: 0 done, 1 bad usage, 2 a file that cannot be read or written.

#include "editor/RtfExport.h"
#include "editor/RtfImport.h"
#include "tools/VisibleText.h"

#include <QApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdio>

namespace {

enum class Status { Ok = 0, Usage = 1, Unreadable = 2 };

bool LoadInto(const char* path, QTextDocument& document) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    quorlin::RtfImporter importer(document, QTextCharFormat());
    char buffer[64 * 1024];
    for (qint64 n; (n = file.read(buffer, sizeof buffer)) != 0;) {
        if (n < 0) return false;
        importer.feed(buffer, static_cast<std::size_t>(n));
    }
    importer.finish();
    return true;
}

Status PrintText(const char* path) {
    QTextDocument document;
    if (!LoadInto(path, document)) return Status::Unreadable;
    const QByteArray text = quorlin::VisibleText(document).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return Status::Ok;
}

Status RoundTrip(const char* in, const char* out) {
    QTextDocument document;
    if (!LoadInto(in, document)) return Status::Unreadable;
    QSaveFile file(QString::fromLocal8Bit(out));
    if (!file.open(QIODevice::WriteOnly)) return Status::Unreadable;
    const bool written = quorlin::ExportRtf(document, [&file](const char* data, std::size_t size) {
        return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    });
    return written && file.commit() ? Status::Ok : Status::Unreadable;
}

int Usage() {
    std::fputs("usage: quorlin-rtf text FILE\n       quorlin-rtf roundtrip IN OUT\n", stderr);
    return static_cast<int>(Status::Usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    Status status;
    if (command == QLatin1String("text") && argc == 3) status = PrintText(argv[2]);
    else if (command == QLatin1String("roundtrip") && argc == 4) status = RoundTrip(argv[2], argv[3]);
    else return Usage();
    if (status == Status::Unreadable) std::fprintf(stderr, "quorlin-rtf: cannot read or write the file\n");
    return static_cast<int>(status);
}
