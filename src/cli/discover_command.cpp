// SPDX-License-Identifier: MIT
#include "cli/discover_command.h"

#include "cli/exit_status.h"
#include "components/error.h"
#include "link/doip_discovery.h"

namespace vistrel::cli {

int runDiscover(const DiscoverOptions& options, std::ostream& out, std::ostream& err) {
    try {
        const auto entities = discoverDoipEntities({options.to}, options.port,
                                                   std::chrono::milliseconds(options.waitMs));
        for (const DoipEntityInfo& entity : entities) {
            out << describeEntity(entity, options.port) << '\n';
        }
        if (!entities.empty()) {
            return kExitSuccess;
        }
        err << "no DoIP entity answered at " << options.to << ":" << options.port << " within "
            << options.waitMs << " ms — is the cable in and the ignition on, and does a firewall "
            << "let UDP port " << options.port << " through?\n";
    } catch (const Error& e) {
        err << "vistrel-cli: " << e.description() << '\n';
    }
    return kExitReadFailed;
}

} // namespace vistrel::cli
