#include "support/Fakes.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/Errors.h"

namespace ombrix::test {

void FakeUi::messageBox(std::string_view text, std::string_view title) {
    boxes.push_back({std::string(title), std::string(text)});
}

void FakeUi::setBusy(bool b) {
    if (b && !busy) {
        ++busyOn;
    }
    busy = b;
}

void FakeUi::progressCaption(std::string_view c) {
    caption = std::string(c);
    captions.push_back(caption);
}

void FakeUi::progressShow() {
    progressVisible = true;
    ++progressShows;
}

void FakeUi::progressPaint(double fraction) {
    paints.push_back(fraction);
    if (fraction > progressFilled) {
        progressFilled = fraction;
    }
}

void FakeUi::progressUnload() {
    progressVisible = false;
    ++progressUnloads;
    progressFilled = 0;
    caption = std::string(kProgressDefaultCaption);
}

void FakeDialogs::showOpen(std::string_view caption, DialogExchange& dlg) {
    captions.emplace_back(caption);
    patterns.push_back(dlg.DlgPattern);
    std::string choice;
    if (!choices.empty()) {
        choice = choices.front();
        choices.pop_front();
    }
    if (choice.empty()) {
        dlg.DlgPath.clear();
        dlg.DlgFile.clear();
        dlg.OpenCancelled = "on";
        return;
    }
    const std::filesystem::path p(choice);
    dlg.DlgPath = p.parent_path().string() + "/";
    dlg.DlgFile = p.filename().string();
    dlg.OpenCancelled = "off";
}

void FakeHost::printMainWindow() {
    if (!printFailure.empty()) {
        throw OmbrixError(printFailure);
    }
    ++prints;
}

std::vector<std::string> Harness::drawn() const {
    std::vector<std::string> out;
    out.reserve(graph.ops().size());
    for (const auto& op : graph.ops()) {
        out.push_back(describe(op));
    }
    return out;
}

TempDir::TempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("ombrix-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw OmbrixError("Cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& content) const {
    const auto p = m_path / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary);
    f << content;
    return p;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::filesystem::path sourceDir() {
    // A copy of the files tests need, where the tree itself cannot be read (tests run as
    // another user).
    if (const char* copy = std::getenv("OMBRIX_TEST_SOURCE_DIR"); copy != nullptr && *copy != 0) {
        return copy;
    }
    return OMBRIX_SOURCE_DIR;
}

}  // namespace ombrix::test
