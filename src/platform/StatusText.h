// The status area's text: lines printed by imports and reports, cleared by each operation.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix {

class StatusText {
  public:
    void clear();
    void print(std::string_view line);

    const std::vector<std::string>& lines() const { return m_lines; }
    std::string text() const;  // the lines joined with "\n"

    // Counts clears and prints, so a caller can tell whether an operation touched the area.
    unsigned long changes() const { return m_changes; }

    // Called after every change (the window repaints the area).
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

  private:
    void changed();

    std::vector<std::string> m_lines;
    unsigned long m_changes = 0;
    std::function<void()> m_listener;
};

}  // namespace ombrix
