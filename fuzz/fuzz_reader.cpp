// Fuzzes the delimited reader (and through it the leading-number rule) with arbitrary files:
// every input must end in a table that matches its counts, or in a described failure.
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "data/Reader.h"
#include "platform/Errors.h"
#include "platform/LeadingNumber.h"

namespace {

class SilentUi : public ombrix::Ui {
  public:
    void messageBox(std::string_view, std::string_view) override { ++boxes; }
    void setBusy(bool) override {}
    void progressCaption(std::string_view) override {}
    void progressShow() override {}
    void progressPaint(double fraction) override {
        if (!(fraction > 0 && fraction <= 0.5)) {  // the reader fills at most half the bar
            std::abort();
        }
    }
    void progressUnload() override {}
    void processEvents() override {}
    int boxes = 0;
};

// An in-memory file that the reader opens by its path like any other.
struct MemoryFile {
    int fd = memfd_create("ombrix-fuzz", 0);
    std::string path = "/proc/self/fd/" + std::to_string(fd);
};

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// The leading-number rule on the text. A text made only of digits, points, signs and exponent
// letters (spaces ignored) must read as the C library reads its longest numeric prefix.
void checkLeadingNumber(std::string_view text) {
    bool threw = false;
    double v = 0;
    try {
        v = ombrix::leadingNumber(text);
        check(std::isfinite(v));  // too large throws, too small reads as 0
    } catch (const ombrix::OmbrixError&) {
        threw = true;
    }
    std::string compact;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        }
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')) {
            return;
        }
        compact.push_back(c);
    }
    errno = 0;
    const double expected = std::strtod(compact.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(expected)) {
        check(threw);
        return;
    }
    check(!threw);
    check(v == expected || (std::fabs(expected) < DBL_MIN && v == 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    check(file.fd >= 0);
    check(ftruncate(file.fd, 0) == 0);
    check(pwrite(file.fd, data, size, 0) == static_cast<ssize_t>(size));

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkLeadingNumber(text);

    ombrix::DataState d;
    SilentUi ui;
    try {
        ombrix::ReadDelimited(d, ui, file.path);
    } catch (const ombrix::OmbrixError&) {
        // Either nothing changed, or the table was created and its counts went with it.
        check(d.DataTable.allocated()
                  ? d.DataTable.lastRow() == d.DataRows && d.DataTable.lastCol() == d.DataCols
                  : d.DataRows == 0 && d.DataCols == 0);
        return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    check(d.MissingValue == -99);
    check(d.DataTable.lastRow() == d.DataRows && d.DataTable.lastCol() == d.DataCols);
    check(ui.boxes <= 1);
    check(d.DataRows == 0 || d.DataCols >= 1);
    for (long r = 0; r <= d.DataRows; ++r) {
        check(d.DataTable.at(r, 0).isEmpty());
    }
    for (long c = 0; c <= d.DataCols; ++c) {
        check(d.DataTable.at(0, c).isEmpty());
    }
    return 0;
}
