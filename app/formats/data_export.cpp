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

constexpr char kLineEnd[] = "\r\n";
constexpr std::size_t kChunkBytes = 64 * 1024;

// Collects text and hands it to the file in large chunks; remembers the first failure.
class ChunkedWriter {
public:
    explicit ChunkedWriter(QSaveFile& file) : file_(file) {}

    void add(const std::string& text) {
        buffer_ += text;
        if (buffer_.size() >= kChunkBytes) {
            flush();
        }
    }

    bool finish() {
        flush();
        return ok_;
    }

private:
    void flush() {
        if (ok_ && !buffer_.empty()) {
            ok_ = file_.write(buffer_.data(), static_cast<qint64>(buffer_.size())) ==
                  static_cast<qint64>(buffer_.size());
        }
        buffer_.clear();
    }

    QSaveFile& file_;
    std::string buffer_;
    bool ok_ = true;
};

void addDatLines(ChunkedWriter& out, const LogModel& log, double startTime, const QLocale& locale) {
    const char separator = decimalSeparatorOf(locale);
    out.add(std::string("/* KELVO counter data: t/ms, f/Hz") + kLineEnd);
    out.add("/* " + dateTimeToStr(startTime, locale) + kLineEnd);
    out.add(std::string("/*") + kLineEnd);
    for (int i = 0; i < log.count(); ++i) {
        std::string line = log.line(i);
        const std::string time = nextToken(line);
        const std::string value = nextToken(line);
        out.add(time + ' ' + replaceChar(value, separator, '.') + kLineEnd);
    }
}

void addCsvLines(ChunkedWriter& out, const LogModel& log) {
    for (int i = 0; i < log.count(); ++i) {
        std::string line = log.line(i);
        const std::string time = nextToken(line);
        const std::string value = nextToken(line);
        out.add(time + ';' + value + kLineEnd);
    }
}

} // namespace

std::string saveData(const std::string& fileName, const std::string& extension, const LogModel& log,
                     double startTime, const QLocale& locale) {
    const bool dat = extension == ".dat";
    if (!dat && extension != ".csv") {
        return {};
    }
    // Unbuffered: a short write must show in write()'s result. Buffered, it surfaced only at
    // commit, unnoticed, and a truncated file replaced the good one.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (fileName.empty() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return kFileAccessDenied;
    }
    ChunkedWriter out(file);
    if (dat) {
        addDatLines(out, log, startTime, locale);
    } else {
        addCsvLines(out, log);
    }
    return out.finish() && file.commit() ? std::string() : std::string(kFileAccessDenied);
}

std::string fileExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    const bool inName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return inName ? fileName.substr(dot) : std::string();
}

} // namespace app
