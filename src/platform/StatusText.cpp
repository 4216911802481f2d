#include "platform/StatusText.h"

namespace ombrix {

void StatusText::clear() {
    m_lines.clear();
    changed();
}

void StatusText::print(std::string_view line) {
    m_lines.emplace_back(line);
    changed();
}

std::string StatusText::text() const {
    std::string out;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        out += m_lines[i];
    }
    return out;
}

void StatusText::changed() {
    ++m_changes;
    if (m_listener) {
        m_listener();
    }
}

}  // namespace ombrix
