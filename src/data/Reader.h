// The delimited text reader: the numeric lines of a data file as a table of numbers.
#pragma once

#include <string>
#include <string_view>

#include "data/DataState.h"
#include "platform/Ui.h"

namespace ombrix {

// Reads the data lines of the file at path into DataTable (rows 1..DataRows, columns
// 1..DataCols), with the separator and the column count taken from the first data line.
// A line with more fields than the first shows "Incorrect number of columns in line N of PATH."
// and ends the read normally, leaving that line and the ones after it empty. A file that cannot
// be opened or read, is not a regular file, is larger than kMaxFileBytes (platform/FileRead.h), or
// makes a table too large to hold throws OmbrixError and leaves DataTable, DataRows and DataCols as
// they were.
void ReadDelimited(DataState& d, Ui& ui, const std::string& path);

// The separator of a data file, decided by its first data line: a comma if it holds one,
// otherwise a tab if it holds one, otherwise a space.
char separatorOf(std::string_view firstDataLine);

// The number of columns of a first data line (already trimmed of spaces) for the separator.
long columnCount(std::string_view line, char separator);

}  // namespace ombrix
