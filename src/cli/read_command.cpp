#include "cli/read_command.h"

#include "cli/control_host.h"
#include "cli/exit_status.h"

namespace vistrel::cli {
namespace {

void reportFailure(const std::string& status, std::ostream& err) {
    err << (status.empty() ? "no good read" : status) << '\n';
}

} // namespace

int runRead(const ReadOptions& options, std::ostream& out, std::ostream& err) {
    ControlHost host(err);
    host.setUp(options.session);
    host.click(button::kStart);
    int failed = 0;
    for (;;) {
        switch (host.runTimer()) {
        case TickOutcome::GoodRead:
            host.click(button::kCopy);
            out << host.clipboard().text() << std::flush;
            return kExitSuccess;
        case TickOutcome::FailedAttempt:
            if (++failed < options.attempts) {
                continue;
            }
            [[fallthrough]];
        case TickOutcome::TimerOff:
            reportFailure(host.view().panelText(panel::kStatus), err);
            return kExitReadFailed;
        case TickOutcome::Progress:
            break;
        }
    }
}

} // namespace vistrel::cli
