#include "app/formats/data_export.h"

#include "app/formats/date_text.h"
#include "app/formats/float_text.h"
#include "app/formats/io_messages.h"
#include "app/formats/text_tokens.h"
#include "app/log_model.h"

#include <QFile>
#include <QSaveFile>

namespace app {
namespace {

constexpr char LineEnd[] = "\r\n";
constexpr std::size_t ChunkBytes = 64 * 1024;

// Collects text and hands it to the file in large chunks; remembers the first failure.
class ChunkedWriter {
public:
    explicit ChunkedWriter(QSaveFile& file) : File(file) {}

    void Add(const std::string& text) {
        Buffer += text;
        if (Buffer.size() >= ChunkBytes) {
            Flush();
        }
    }

    bool Finish() {
        Flush();
        return Ok;
    }

private:
    void Flush() {
        if (Ok && !Buffer.empty()) {
            Ok = File.write(Buffer.data(), static_cast<qint64>(Buffer.size())) ==
                 static_cast<qint64>(Buffer.size());
        }
        Buffer.clear();
    }

    QSaveFile& File;
    std::string Buffer;
    bool Ok = true;
};

void AddDatLines(ChunkedWriter& out, const TLogModel& log, double startTime,
                 const QLocale& locale) {
    const char separator = DecimalSeparatorOf(locale);
    out.Add(std::string("/* KELVO counter data: t/ms, f/Hz") + LineEnd);
    out.Add("/* " + DateTimeToStr(startTime, locale) + LineEnd);
    out.Add(std::string("/*") + LineEnd);
    for (int i = 0; i < log.Count(); ++i) {
        std::string line = log.Line(i);
        const std::string time = NextToken(line);
        const std::string value = NextToken(line);
        out.Add(time + ' ' + ReplaceChar(value, separator, '.') + LineEnd);
    }
}

void AddCsvLines(ChunkedWriter& out, const TLogModel& log) {
    for (int i = 0; i < log.Count(); ++i) {
        std::string line = log.Line(i);
        const std::string time = NextToken(line);
        const std::string value = NextToken(line);
        out.Add(time + ';' + value + LineEnd);
    }
}

} // namespace

std::string SaveData(const std::string& fileName, const std::string& extension,
                     const TLogModel& log, double startTime, const QLocale& locale) {
    const bool dat = extension == ".dat";
    if (!dat && extension != ".csv") {
        return {};
    }
    // Unbuffered: a short write must show in write()'s result. Buffered, it surfaced only at
    // commit, unnoticed, and a truncated file replaced the good one.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (fileName.empty() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return FileAccessDenied;
    }
    ChunkedWriter out(file);
    if (dat) {
        AddDatLines(out, log, startTime, locale);
    } else {
        AddCsvLines(out, log);
    }
    return out.Finish() && file.commit() ? std::string() : std::string(FileAccessDenied);
}

std::string FileExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    const bool inName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return inName ? fileName.substr(dot) : std::string();
}

} // namespace app
