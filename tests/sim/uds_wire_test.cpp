// SPDX-License-Identifier: MIT
// The UDS ECU on a real wire: vistrel-cli reads it over vistrel-ecu's
// socketcand server with every method, with normal and extended addressing,
// with and without security access through vistrel-seedkey.
#include "cli/cli_test_support.h"
#include "fakes/ecu_process.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

constexpr std::string_view kEcu = R"(<ecu diag="uds">
  <memory address="010000">56 49 53</memory>
  <memory address="01B000">C0 FF</memory>
  <lock address="01B000" length="2" level="01"/>
</ecu>)";
const std::string kLockedLine = "01B000\t2\tBE\tLocked\t\t1\t0\t1\tH\t1\r\n";

TEST(UdsWire, EveryMethodReadsWithAndWithoutSecurity) {
    ScratchDirectory dir;
    writeFile(dir.file("ecu.xml"), std::string(kEcu));
    writeFile(dir.path() / "items.tsv", kIdentLine + kLockedLine);
    const std::string ecuFile = (dir.path() / "ecu.xml").string();
    EcuProcess normal({"--ecu", ecuFile}, "--socketcand");
    EcuProcess addressed({"--ecu", ecuFile, "--ext", "F1", "--rxext", "10"}, "--socketcand");
    const std::string security = std::string(",security=01,key=") + VISTREL_SEEDKEY_BINARY;
    const std::pair<const EcuProcess*, std::string> links[] = {{&normal, ""},
                                                               {&addressed, ",ext=F1,rxext=10"}};
    for (const char* method :
         {"ReadMemoryByAddress", "DynamicallyDefined", "DynamicallyDefinedPacked",
          "ReadMemoryByAddressMerged", "ReadDataByPeriodicIdentifier"}) {
        const std::string service = std::string_view(method) == "ReadMemoryByAddress" ||
                                            std::string_view(method) == "ReadMemoryByAddressMerged"
                                        ? "23"
                                        : "2C";
        for (const auto& [ecu, keys] : links) {
            for (const bool unlocked : {false, true}) {
                const std::string link = "socketcand:" + ecu->device() + ",diag=uds,p2max=2000" +
                                         keys + (unlocked ? security : "");
                SCOPED_TRACE(link + " " + method);
                const CliRun run = runCli({"read", "--link", link, "--items", "items.tsv",
                                           "--session", "1003", "--method", method},
                                          dir.path());
                EXPECT_EQ(run.exitCode, 0) << run.err;
                EXPECT_EQ(run.out, "Ident\t564953\r\nLocked\t" +
                                       (unlocked ? "C0FF"
                                                 : "Service " + service +
                                                       " Negative response 33 "
                                                       "(securityAccessDenied): the link has "
                                                       "no security=LL and key=PROGRAM to "
                                                       "unlock it") +
                                       "\r\n");
            }
        }
    }
}

} // namespace
} // namespace vistrel::testing
