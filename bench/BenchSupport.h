#pragma once
// Helpers shared by the benchmarks that run the started program: a dialog
// provider that makes any dialog fatal (a dialog would stall or skew a figure),
// a temporary working directory with an "RTF Folder", generated topics, and
// the one-line report.

#include "platform/Dialogs.h"
#include "rtf/Document.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTextCharFormat>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace quorlin::bench {

// The character format the direct-insert floor gives a run: the properties the
// generated topics use, set the way the importer sets them.
inline QTextCharFormat FloorFormat(const rtf::CharFormat& f) {
    QTextCharFormat q;
    q.setFontFamilies({QString::fromStdString(f.face)});
    q.setFontPointSize(f.sizeHalfPoints / 2.0);
    q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    q.setFontItalic(f.italic);
    q.setFontUnderline(f.underline);
    q.setFontStrikeOut(f.strike);
    if (f.color) q.setForeground(QColor(f.color->r, f.color->g, f.color->b));
    return q;
}

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// figure, baseline, ratio: the same columns as the other benchmarks.
inline void Report(const char* name, double figure, double baseline, const char* unit) {
    std::printf("%-42s %10.3f %-4s baseline %10.3f %-4s ratio %.3f\n", name, figure, unit, baseline, unit,
                figure / baseline);
    std::fflush(stdout);
}

class NoDialogs final : public platform::DialogProvider {
public:
    NoDialogs() { platform::SetDialogProvider(this); }
    ~NoDialogs() override { platform::SetDialogProvider(nullptr); }
    platform::MessageAnswer message(const platform::MessageRequest& request) override {
        fail("message box", request.caption + QStringLiteral(": ") + request.text);
        return platform::MessageAnswer::Cancel;
    }
    QString fileName(const platform::FileDialogRequest& request) override {
        fail("file dialog", request.title);
        return {};
    }
    std::optional<platform::FontChoice> font(const platform::FontRequest&) override {
        fail("font dialog", {});
        return std::nullopt;
    }
    int64_t color() override {
        fail("colour dialog", {});
        return -1;
    }
    std::unique_ptr<platform::Progress> progress(const platform::ProgressRequest& request) override {
        fail("progress", request.title);
        return nullptr;
    }

private:
    [[noreturn]] static void fail(const char* kind, const QString& detail) {
        std::fprintf(stderr, "benchmark stopped: unexpected %s %s\n", kind, qPrintable(detail));
        std::exit(2);
    }
};

// A temporary working directory holding "RTF Folder", current while it lives.
class WorkingDirectory {
public:
    WorkingDirectory() : previous_(QDir::currentPath()) {
        if (!dir_.isValid() || !QDir().mkpath(topicFolder())) std::abort();
        QDir::setCurrent(dir_.path());
    }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }
    QString path() const { return dir_.path(); }
    QString topicFolder() const { return dir_.path() + QStringLiteral("/RTF Folder"); }
    QString write(const QString& name, const std::string& bytes) const {
        const QString full = topicFolder() + QLatin1Char('/') + name;
        QFile file(full);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            std::abort();
        return full;
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// One short paragraph per line, so lines as laid out equal paragraphs.
inline std::string LinesTopic(int lines) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24\n";
    for (int i = 1; i <= lines; ++i) {
        rtf += "Line ";
        rtf += std::to_string(i);
        rtf += i % 7 == 0 ? " with {\\b bold} words" : " of the topic";
        rtf += i < lines ? "\\par\n" : "\n";
    }
    return rtf + "}";
}

}  // namespace quorlin::bench
