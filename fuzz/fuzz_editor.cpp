// Fuzzes the editor's file loading: any bytes decode to lines that each end with a line break,
// decoding what the editor would write gives the same text again, and a file whose lines all
// end with CR LF is written back byte for byte as it was read.
#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "dialogs/EditorText.h"

namespace {

// Every CR is followed by LF, every LF follows a CR, and the bytes end with a line break.
bool crlfFile(const QByteArray& b) {
    const qsizetype n = b.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (b[i] == '\r' && (i + 1 == n || b[i + 1] != '\n')) {
            return false;
        }
        if (b[i] == '\n' && (i == 0 || b[i - 1] != '\r')) {
            return false;
        }
    }
    return n == 0 || b.endsWith("\r\n");
}

std::string hex(const QByteArray& b) {
    return b.left(64).toHex().toStdString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Loading goes through the file on disk like the editor's Open.
    static const int fd = memfd_create("ombrix-fuzz-editor", 0);
    OMBRIX_FUZZ_CHECK(fd >= 0, "memfd");
    OMBRIX_FUZZ_CHECK(ftruncate(fd, 0) == 0, "truncate");
    OMBRIX_FUZZ_CHECK(pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "write");
    const QString path = QStringLiteral("/proc/self/fd/") + QString::number(fd);
    const QByteArray read = ombrix::readWholeFile(path);
    OMBRIX_FUZZ_CHECK(read == bytes, hex(bytes));

    const ombrix::EditorFileText loaded = ombrix::decodeEditorFile(read);
    OMBRIX_FUZZ_CHECK(!loaded.text.contains(QLatin1Char('\r')), hex(bytes));
    OMBRIX_FUZZ_CHECK(loaded.text.isEmpty() == (bytes.isEmpty() || bytes == "\xEF\xBB\xBF"),
                      hex(bytes));
    OMBRIX_FUZZ_CHECK(loaded.text.isEmpty() || loaded.text.endsWith(QLatin1Char('\n')), hex(bytes));

    const QByteArray written = ombrix::encodeEditorText(loaded.text, loaded.latin1, loaded.bom);
    if (crlfFile(bytes)) {
        OMBRIX_FUZZ_CHECK(written == bytes, hex(bytes) + " became " + hex(written));
    }
    const QByteArray body = loaded.bom ? written.mid(3) : written;
    OMBRIX_FUZZ_CHECK(crlfFile(body), hex(bytes) + " became " + hex(written));
    const ombrix::EditorFileText again = ombrix::decodeEditorFile(written);
    OMBRIX_FUZZ_CHECK(
        again.text == loaded.text && again.latin1 == loaded.latin1 && again.bom == loaded.bom,
        hex(bytes) + " became " + hex(written));
    return 0;
}
