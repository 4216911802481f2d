#include "dialogs/EditorText.h"

#include <QFileInfo>
#include <QStringDecoder>

#include "platform/Errors.h"
#include "platform/FileRead.h"
#include "platform/SafeFile.h"

namespace ombrix {

EditorFileText decodeEditorFile(const QByteArray& bytes) {
    EditorFileText out;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (utf8.hasError()) {
        decoded = QString::fromLatin1(bytes);
        out.latin1 = true;
    } else {
        out.bom = bytes.startsWith("\xEF\xBB\xBF");  // the decoder leaves the mark out
    }
    out.text.reserve(decoded.size() + 1);
    qsizetype lineStart = 0;
    const qsizetype n = decoded.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = decoded[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            out.text += QStringView(decoded).mid(lineStart, i - lineStart);
            out.text += QLatin1Char('\n');
            if (c == QLatin1Char('\r') && i + 1 < n && decoded[i + 1] == QLatin1Char('\n')) {
                ++i;
            }
            lineStart = i + 1;
        }
    }
    if (lineStart < n) {
        out.text += QStringView(decoded).mid(lineStart);
        out.text += QLatin1Char('\n');
    }
    return out;
}

QByteArray encodeEditorText(const QString& text, bool latin1, bool bom) {
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (!crlf.isEmpty() && !crlf.endsWith(QLatin1Char('\n')) && !crlf.endsWith(QLatin1Char('\r'))) {
        crlf += QLatin1String("\r\n");
    }
    if (latin1) {
        bool fits = true;
        for (const QChar c : crlf) {
            if (c.unicode() > 0xFF) {
                fits = false;
                break;
            }
        }
        if (fits) {
            return crlf.toLatin1();
        }
    }
    return bom ? QByteArray("\xEF\xBB\xBF") + crlf.toUtf8() : crlf.toUtf8();
}

void writeFileSafely(const QString& path, const QByteArray& bytes) {
    writeFileReplacing(path.toStdString(), std::string_view(bytes.constData(), bytes.size()),
                       Sync::ToDisk);
}

QByteArray readWholeFile(const QString& path) {
    const std::string p = path.toStdString();
    if (QFileInfo(path).isDir()) {
        throw OmbrixError("Cannot read " + p + ": it is a folder");
    }
    // Only a regular file is read, so a named pipe or a device cannot hang the editor.
    const std::string bytes = readRegularFile(p);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace ombrix
