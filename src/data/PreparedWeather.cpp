#include "data/PreparedWeather.h"

#include <algorithm>
#include <exception>

#include "data/Reader.h"
#include "platform/Errors.h"

namespace ombrix {
namespace {

// Keeps what the reader shows. A run of progress paints keeps only its largest fraction: the
// bar never shrinks, so that is what the run shows.
class RecordingUi : public Ui {
  public:
    using Call = PreparedWeather::UiCall;
    explicit RecordingUi(std::vector<Call>& calls) : m_calls(calls) {}
    void messageBox(std::string_view text, std::string_view title) override {
        m_calls.push_back({Call::Box, std::string(text), std::string(title)});
    }
    void setBusy(bool busy) override { m_calls.push_back({Call::Busy, {}, {}, busy ? 1.0 : 0.0}); }
    void progressCaption(std::string_view caption) override {
        m_calls.push_back({Call::Caption, std::string(caption), {}});
    }
    void progressShow() override { m_calls.push_back({Call::Show, {}, {}}); }
    void progressPaint(double fraction) override {
        if (!m_calls.empty() && m_calls.back().kind == Call::Paint) {
            m_calls.back().value = std::max(m_calls.back().value, fraction);
            return;
        }
        m_calls.push_back({Call::Paint, {}, {}, fraction});
    }
    void progressUnload() override { m_calls.push_back({Call::Unload, {}, {}}); }
    void processEvents() override { m_calls.push_back({Call::Events, {}, {}}); }

  private:
    std::vector<Call>& m_calls;
};

constexpr std::string_view kUnsetMsgText = "\x01 not set by the reader";

}  // namespace

PreparedWeather::PreparedWeather(std::string path) : m_path(std::move(path)) {
    DataState d;
    d.MsgText = kUnsetMsgText;
    RecordingUi ui(m_calls);
    try {
        ReadDelimited(d, ui, m_path);
    } catch (const std::exception& e) {
        m_failed = true;
        m_failure = describeFailure(e);
        return;
    }
    m_missingValue = d.MissingValue;
    m_setsMsgText = d.MsgText != kUnsetMsgText;
    if (m_setsMsgText) {
        m_msgText = d.MsgText;
    }
    m_rows = d.DataRows;
    m_cols = d.DataCols;
    m_table = std::move(d.DataTable);
    m_days = WeatherDays(m_table, m_rows);
}

void PreparedWeather::replayRead(DataState& d, Ui& ui) const {
    d.MissingValue = kMissingValue;
    for (const UiCall& call : m_calls) {
        switch (call.kind) {
            case UiCall::Box:
                ui.messageBox(call.text, call.title);
                break;
            case UiCall::Busy:
                ui.setBusy(call.value != 0.0);
                break;
            case UiCall::Caption:
                ui.progressCaption(call.text);
                break;
            case UiCall::Show:
                ui.progressShow();
                break;
            case UiCall::Paint:
                ui.progressPaint(call.value);
                break;
            case UiCall::Unload:
                ui.progressUnload();
                break;
            case UiCall::Events:
                ui.processEvents();
                break;
        }
    }
    if (m_failed) {
        throw OmbrixError(m_failure);
    }
    d.MissingValue = m_missingValue;
    d.DataTable = m_table;
    d.DataRows = m_rows;
    d.DataCols = m_cols;
    if (m_setsMsgText) {
        d.MsgText = m_msgText;
    }
}

}  // namespace ombrix
