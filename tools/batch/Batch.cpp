#include "Batch.h"

#include <charconv>
#include <ostream>

#include "BatchServices.h"
#include "Portfolio.h"
#include "commands/Dispatch.h"
#include "commands/Session.h"
#include "platform/Errors.h"
#include "platform/Picture.h"
#include "platform/StatusText.h"

namespace ombrix {
namespace {

// Message boxes become lines on standard error; the progress window and pointer are silent.
class ConsoleUi : public Ui {
  public:
    explicit ConsoleUi(std::ostream& err) : m_err(err) {}
    void messageBox(std::string_view text, std::string_view title) override {
        m_err << title << ": " << text << '\n';
        m_err.flush();
        ++m_boxes;
    }
    void setBusy(bool) override {}
    void progressCaption(std::string_view) override {}
    void progressShow() override {}
    void progressPaint(double) override {}
    void progressUnload() override {}
    void processEvents() override {}
    int boxes() const { return m_boxes; }

  private:
    std::ostream& m_err;
    int m_boxes = 0;
};

struct Word {
    std::string_view word;
    int args;  // number of arguments that follow
    CommandId command;
    bool isCommand;  // false: open-*, click and save-graph, handled by hand
};

constexpr CommandId kNone = CommandId::ExitCmd;

const std::vector<Word>& words() {
    using C = CommandId;
    static const std::vector<Word> table = {
        {"open-energy", 1, C::OpenEnergyCmd, true},
        {"open-weather", 1, C::OpenWeatherCmd, true},
        {"open-tmy", 1, C::OpenTMYCmd, true},
        {"calc-elec-use-savings", 0, C::CalcElecUseSavingsCmd, true},
        {"calc-elec-demand-savings", 0, C::CalcElecDemSavingsCmd, true},
        {"calc-thermal-use-savings", 0, C::CalcTherUseSavingsCmd, true},
        {"calc-elec-use-nac", 0, C::CalcElecNACCmd, true},
        {"calc-thermal-nac", 0, C::CalcThermalNACCmd, true},
        {"view-temperatures", 0, C::ViewMoWeatherCmd, true},
        {"view-elec-use", 0, C::ViewMoElecUseCmd, true},
        {"view-elec-demand", 0, C::ViewMoElecDemandCmd, true},
        {"view-thermal-use", 0, C::ViewMoThermCmd, true},
        {"view-elec-use-vs-temperature", 0, C::ViewElecUsevsWeaCmd, true},
        {"view-elec-demand-vs-temperature", 0, C::ViewElecDemvsWeaCmd, true},
        {"view-thermal-use-vs-temperature", 0, C::ViewThermVsWeaCmd, true},
        {"click", 2, kNone, false},
        {"save-graph", 1, kNone, false},
    };
    return table;
}

const Word* findWord(std::string_view w) {
    for (const Word& word : words()) {
        if (word.word == w) {
            return &word;
        }
    }
    return nullptr;
}

bool parseNumber(const std::string& text, double& out) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && ptr == last;
}

struct Step {
    const Word* word;
    std::vector<std::string> args;
};

}  // namespace

std::string batchUsage() {
    return "usage: ombrix-batch WORD [ARG] ...\n"
           "Runs main-window commands in order, without a window.\n"
           "\n"
           "  open-energy FILE                  open an energy file (*.utl)\n"
           "  open-weather FILE                 open a daily weather file (*.wea)\n"
           "  open-tmy FILE                     open a typical-year weather file\n"
           "  calc-elec-use-savings             fit, predict and report electricity use savings\n"
           "  calc-elec-demand-savings          the same for electricity demand\n"
           "  calc-thermal-use-savings          the same for thermal use\n"
           "  calc-elec-use-nac                 normalized annual electricity use\n"
           "  calc-thermal-nac                  normalized annual thermal use\n"
           "  view-temperatures                 temperature time series\n"
           "  view-elec-use, view-elec-demand, view-thermal-use\n"
           "                                    energy time series\n"
           "  view-elec-use-vs-temperature, view-elec-demand-vs-temperature,\n"
           "  view-thermal-use-vs-temperature   energy against temperature\n"
           "  click X Y                         a click in the graph at frame units X, Y\n"
           "  save-graph FILE                   the graph as .svg or .png (1200 x 800)\n"
           "\n"
           "Status lines go to standard output, message boxes to standard error as\n"
           "TITLE: TEXT. Exit status: 0, 1 when a message box was shown, 2 for a usage error.\n"
           "\n" +
           portfolioUsage();
}

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const GraphExporter& exporter, bool errIsTerminal) {
    if (!args.empty() && args.front() == "portfolio") {
        return runPortfolioCommand({args.begin() + 1, args.end()}, err, errIsTerminal);
    }
    std::vector<Step> steps;
    for (std::size_t i = 0; i < args.size();) {
        const Word* word = findWord(args[i]);
        if (word == nullptr && args[i] == "portfolio") {
            err << "ombrix-batch: portfolio runs alone, as the first word\n" << batchUsage();
            return 2;
        }
        if (word == nullptr) {
            err << "ombrix-batch: unknown word \"" << args[i] << "\"\n" << batchUsage();
            return 2;
        }
        if (i + static_cast<std::size_t>(word->args) >= args.size()) {
            err << "ombrix-batch: " << word->word << " needs " << word->args
                << (word->args == 1 ? " argument\n" : " arguments\n") << batchUsage();
            return 2;
        }
        Step step{word,
                  {args.begin() + static_cast<long>(i) + 1,
                   args.begin() + static_cast<long>(i) + 1 + word->args}};
        if (word->word == "click") {
            double v = 0;
            for (const auto& a : step.args) {
                if (!parseNumber(a, v)) {
                    err << "ombrix-batch: click needs two numbers, not \"" << a << "\"\n"
                        << batchUsage();
                    return 2;
                }
            }
        }
        steps.push_back(std::move(step));
        i += 1 + static_cast<std::size_t>(word->args);
    }
    if (steps.empty()) {
        err << batchUsage();
        return 2;
    }

    Session session;
    ConsoleUi ui(err);
    Picture picture;
    StatusText status;
    ScriptedDialogs dialogs;
    NoHelp help;
    BatchHost host;
    Services services{ui, picture, status, dialogs, help, host};

    for (const Step& step : steps) {
        const unsigned long before = status.changes();
        if (step.word->isCommand) {
            if (step.word->args == 1) {
                dialogs.choose(step.args[0]);
            }
            runCommand(session, services, step.word->command);
        } else if (step.word->word == "click") {
            double x = 0;
            double y = 0;
            parseNumber(step.args[0], x);
            parseNumber(step.args[1], y);
            graphMouseDown(session, services, 1, 0, x, y);
        } else if (step.word->word == "save-graph") {
            runGuarded(ui, "Error", &session.data.MsgText,
                       [&] { exporter(picture, step.args[0]); });
        }
        if (status.changes() != before) {
            for (const auto& line : status.lines()) {
                out << line << '\n';
            }
            out.flush();
        }
    }
    return ui.boxes() > 0 ? 1 : 0;
}

}  // namespace ombrix
