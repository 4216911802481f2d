// Reading and writing the editor's text files: line ends, encodings, a save that cannot destroy
// the file it replaces.
#pragma once

#include <QByteArray>
#include <QString>

namespace ombrix {

struct EditorFileText {
    QString text;         // every line followed by "\n" (the last one too)
    bool latin1 = false;  // the bytes were not valid UTF-8 and were read one byte per character
    bool bom = false;     // the UTF-8 bytes began with a byte-order mark (not part of the text)
};

// Splits the bytes into lines at CR LF, LF or CR; every line, the last included, ends with a
// line break in the result. Bytes that are not valid UTF-8 are read as Latin-1, so writing the
// text back in the same encoding gives the same bytes. A UTF-8 byte-order mark is kept aside in
// bom rather than in the text.
EditorFileText decodeEditorFile(const QByteArray& bytes);

// The bytes written for a text: line breaks as CR LF, and one more CR LF only when the text
// does not already end with a line break (an empty text writes nothing). A text read as
// Latin-1 is written as Latin-1 when every character fits, otherwise as UTF-8; UTF-8 starts
// with a byte-order mark when bom is set, so a file keeps the mark it was read with.
QByteArray encodeEditorText(const QString& text, bool latin1, bool bom = false);

// Writes the bytes to path through a temporary file in the same folder that replaces the file
// only once it is complete, so a failed write (full disk, no permission) leaves the old file
// untouched. Throws OmbrixError with a clear description.
void writeFileSafely(const QString& path, const QByteArray& bytes);

// Reads a whole regular file. Throws OmbrixError ("File not found: PATH", "Not a file: PATH"
// for a pipe or a device) when it cannot.
QByteArray readWholeFile(const QString& path);

}  // namespace ombrix
