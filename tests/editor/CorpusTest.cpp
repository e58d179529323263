// The corpus read through the editor's path (RTF -> QTextDocument), compared
// with the expected text, or with LibreOffice's reading of the same file.
#include "editor/RtfImport.h"
#include "tools/VisibleText.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <filesystem>

namespace quorlin {
namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Load(QTextDocument& document, const QByteArray& rtf, std::size_t piece = 4096) {
    RtfImporter importer(document, QTextCharFormat());
    for (qsizetype at = 0; at < rtf.size(); at += qsizetype(piece))
        importer.feed(rtf.constData() + at, std::min<std::size_t>(piece, std::size_t(rtf.size() - at)));
    importer.finish();
}

// LibreOffice writes list numbers and bullets into the text, indented; blank
// lines differ between readers too. Both are set aside before comparing.
QString Normalised(const QString& text, bool fromLibreOffice) {
    static const QRegularExpression marker(QStringLiteral("^\\s+(?:[\u2022\u25E6\u25AA\u2013\u00B7\u25CF\u25A0]|[0-9]+[.)]|[a-zA-Z][.)]|[ivxlcdmIVXLCDM]+[.)])\\s+"));
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (fromLibreOffice) line.remove(marker);
        if (!line.trimmed().isEmpty()) lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

std::vector<std::string> CorpusNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(QUORLIN_CORPUS_DIR))
        if (entry.path().extension() == ".rtf") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Corpus : public testing::TestWithParam<std::string> {};

TEST_P(Corpus, VisibleTextMatches) {
    const QString base = QStringLiteral(QUORLIN_CORPUS_DIR "/") + QString::fromStdString(GetParam());
    QTextDocument document;
    Load(document, ReadBytes(base + QStringLiteral(".rtf")));
    const QString text = VisibleText(document);
    if (QFile::exists(base + QStringLiteral(".expected.txt"))) {
        EXPECT_EQ(text.toStdString(), QString::fromUtf8(ReadBytes(base + QStringLiteral(".expected.txt"))).toStdString());
    } else if (QFile::exists(base + QStringLiteral(".lo.txt"))) {
        const QString lo = QString::fromUtf8(ReadBytes(base + QStringLiteral(".lo.txt")));
        EXPECT_EQ(Normalised(text, false).toStdString(), Normalised(lo, true).toStdString());
    } else {
        SUCCEED() << "a damaged file: loading it without a crash is the test";
    }
}

TEST_P(Corpus, ReadsTheSameInOneBytePieces) {
    const QByteArray rtf = ReadBytes(QStringLiteral(QUORLIN_CORPUS_DIR "/%1.rtf").arg(QString::fromStdString(GetParam())));
    QTextDocument whole, pieces;
    Load(whole, rtf);
    Load(pieces, rtf, 1);
    EXPECT_EQ(pieces.toHtml().toStdString(), whole.toHtml().toStdString());
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, testing::ValuesIn(CorpusNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace quorlin
