// SPDX-License-Identifier: MIT
#include "cli/read_command.h"

#include "cli/control_host.h"
#include "cli/exit_status.h"

namespace vistrel::cli {

int runRead(const ReadOptions& options, std::ostream& out, std::ostream& err) {
    ControlHost host(err);
    host.setUp(options.session);
    host.control().start();
    int failed = 0;
    std::string lastFailure;
    for (;;) {
        for (const EngineEvent& event : host.nextEvents()) {
            switch (event.outcome.kind) {
            case StepOutcome::Kind::GoodRead:
                out << host.control().copyText() << std::flush;
                return kExitSuccess;
            case StepOutcome::Kind::Failed:
                lastFailure = event.outcome.failure;
                if (++failed < options.attempts) {
                    continue;
                }
                [[fallthrough]];
            case StepOutcome::Kind::NotDue:
            case StepOutcome::Kind::Stopped:
            case StepOutcome::Kind::Halted:
                err << (lastFailure.empty() ? "no good read" : lastFailure) << '\n';
                return kExitReadFailed;
            case StepOutcome::Kind::Started:
            case StepOutcome::Kind::Progress:
            case StepOutcome::Kind::Unanswered:
                break;
            }
        }
    }
}

} // namespace vistrel::cli
