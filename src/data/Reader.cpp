#include "data/Reader.h"

#include <cstdint>

#include "platform/Errors.h"
#include "platform/FileRead.h"
#include "platform/LeadingNumber.h"

namespace ombrix {
namespace {

// Lines of a text, ended by CR LF, LF or CR; a final line without an end counts too.
class Lines {
  public:
    explicit Lines(std::string_view text) : m_text(text) {
        if (m_text.starts_with("\xEF\xBB\xBF")) {  // UTF-8 byte-order mark
            m_text.remove_prefix(3);
        }
    }
    bool next(std::string_view& line) {
        const std::size_t n = m_text.size();
        if (m_pos >= n) {
            return false;
        }
        const char* text = m_text.data();
        std::size_t end = m_pos;
        while (end < n && text[end] != '\n' && text[end] != '\r') {
            ++end;
        }
        line = m_text.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        if (end < n && text[end] == '\r' && m_pos < n && text[m_pos] == '\n') {
            ++m_pos;
        }
        return true;
    }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Removes spaces (only spaces) at both ends.
std::string_view trimSpaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

// A data line starts with a digit once spaces are trimmed; signs and points do not count.
bool isDataLine(std::string_view trimmed) {
    return !trimmed.empty() && trimmed.front() >= '0' && trimmed.front() <= '9';
}

// The value of a field by the leading-number rule. Plain decimals of at most 15 digits (an
// optional sign, digits, at most one point, nothing else) are read directly: the digits as an
// integer divided by an exact power of ten is the correctly rounded value, the same double the
// general rule gives. Everything else goes through the general rule.
double fieldValue(std::string_view f) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const std::size_t n = f.size();
    bool negative = false;
    if (i < n && (f[i] == '-' || f[i] == '+')) {
        negative = f[i] == '-';
        ++i;
    }
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; i < n; ++i) {
        const char c = f[i];
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            ++digits;
            decimals += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return leadingNumber(f);
        }
    }
    if (digits == 0 || digits > 15) {
        return leadingNumber(f);
    }
    const double v = static_cast<double>(mantissa) / kPow10[decimals];
    return negative ? -v : v;
}

std::string upperCase(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

}  // namespace

char separatorOf(std::string_view line) {
    if (line.find(',') != std::string_view::npos) {
        return ',';
    }
    if (line.find('\t') != std::string_view::npos) {
        return '\t';
    }
    return ' ';
}

long columnCount(std::string_view line, char separator) {
    const std::size_t n = line.size();
    long count = 0;
    if (n == 0) {
        return 0;
    }
    if (separator != ' ') {
        // Every separator ends a column, and so does the end of the line unless a separator
        // stands there: a trailing comma adds no column.
        for (std::size_t k = 0; k < n; ++k) {
            if (line[k] == separator || k == n - 1) {
                ++count;
            }
        }
        return count;
    }
    // Runs of spaces count as one separator.
    for (std::size_t k = 1; k < n; ++k) {
        if (line[k] == ' ' && line[k - 1] != ' ') {
            ++count;
        }
    }
    if (line[n - 1] != ' ') {
        ++count;
    }
    return count;
}

void ReadDelimited(DataState& d, Ui& ui, const std::string& path) {
    d.MissingValue = kMissingValue;
    const std::string text = readRegularFile(path);

    // First pass: count the data lines; the first one decides separator and columns.
    long rows = 0;
    long cols = 0;
    char sep = ' ';
    {
        Lines lines(text);
        std::string_view line;
        while (lines.next(line)) {
            const std::string_view t = trimSpaces(line);
            if (!isDataLine(t)) {
                continue;
            }
            if (++rows == 1) {
                sep = separatorOf(t);
                cols = columnCount(t, sep);
            }
        }
    }

    // The table is created once at its final size; only then do the counts change with it.
    d.DataTable = Table(rows, cols);
    d.DataRows = rows;
    d.DataCols = cols;
    Table& table = d.DataTable;

    // Second pass: split every data line into fields. A field ends at a separator that does
    // not follow another separator; doubled separators add no column, and the text of the
    // next field then starts at the second one.
    Lines lines(text);
    std::string_view line;
    long r = 0;
    const double total = 2.0 * static_cast<double>(rows);
    while (lines.next(line)) {
        const std::string_view t = trimSpaces(line);
        if (!isDataLine(t)) {
            continue;
        }
        ++r;
        long c = 0;
        std::size_t start = 0;
        std::size_t k = 0;
        bool tooMany = false;
        auto store = [&](std::string_view field) {
            if (++c > cols) {
                tooMany = true;
                return;
            }
            table.at(r, c) = fieldValue(field);
        };
        while (!tooMany) {
            std::size_t p = k;
            while (p < t.size() && t[p] != sep) {
                ++p;
            }
            if (p == t.size()) {
                if (k < t.size()) {  // the line ends with a field, not a separator
                    store(t.substr(start));
                }
                break;
            }
            if (p == 0 || t[p - 1] != sep) {
                store(t.substr(start, p - start));
                start = p + 1;
            }
            k = p + 1;
        }
        if (tooMany) {
            for (long j = 1; j <= cols; ++j) {
                table.at(r, j).clear();
            }
            d.MsgText = "Incorrect number of columns in line " + std::to_string(r) + " of " +
                        upperCase(path) + ".";
            ui.messageBox(d.MsgText, "Error");
            ui.setBusy(false);
            return;
        }
        ui.ShowProgress(static_cast<double>(r), total, 1);
    }
}

}  // namespace ombrix
