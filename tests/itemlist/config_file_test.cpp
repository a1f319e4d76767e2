// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/error_numbers.h"
#include "fakes/real_locales.h"
#include "itemlist/vistrel_items.h"
#include "itemlist_test_support.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vistrel {
namespace {

using testing::definitionOf;
using testing::readFile;
using testing::utf16le;
using testing::writeFile;

// The settings and every item of a list, one item a line.
std::string summary(const VistrelItems& items) {
    std::ostringstream out;
    out << "method=" << static_cast<int>(items.method()) << " size=" << items.lengthSize()
        << " session=" << items.StartSession();
    if (items.mergeWindow() != VistrelItems::kDefaultMergeWindow) {
        out << " window=" << items.mergeWindow();
    }
    for (const auto& each : items) {
        out << '\n' << definitionOf(*each);
    }
    return out.str();
}

class ConfigFile : public ::testing::Test {
protected:
    // The refusal of a file that is no configuration file, kept as the
    // message the control shows for it.
    void loadInto(VistrelItems& list, const std::string& path) {
        try {
            list.loadConfigXML(path);
        } catch (const Error& e) {
            if (e.number() != kConfigLoadError && e.number() != kBadConfigFile &&
                e.number() != kNotXmlFile) {
                throw;
            }
            messages.showMessage(e.description(), kApplicationTitle);
        }
    }

    testing::ScratchDirectory directory;
    testing::RecordingMessagePort messages;
    VistrelItems items{testing::kEnglish};
};

constexpr const char* kSavedFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><Vistrel Version=\"1,0\">\r\n"
    "<Method>1</Method>\r\n<LengthSize>2</LengthSize>\r\n<StartSession>10A0</StartSession>\r\n"
    "<Datas>\r\n"
    "<Data>\r\n<address>0A1F20</address>\r\n<length>2</length>\r\n<type>BE+</type>\r\n"
    "<name>Température &lt;1&gt;</name>\r\n<unit/>\r\n<A>0.5</A>\r\n<B>-40</B>\r\n<C>1</C>\r\n"
    "<format>P</format>\r\n<mask>0FFF</mask>\r\n</Data>\r\n"
    "</Datas></Vistrel>";

TEST_F(ConfigFile, SavesTheDocumentedTree) {
    const std::string path = directory.file("saved.xml");
    items.setStartSession("");
    items.saveConfigXML(path);
    EXPECT_EQ(readFile(path),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?><Vistrel Version=\"1,0\">\r\n"
              "<Method>0</Method>\r\n<LengthSize>1</LengthSize>\r\n"
              "<StartSession></StartSession>\r\n<Datas>\r\n</Datas></Vistrel>");
    items.setMethode("DynamicallyDefined");
    items.setLengthSize(2);
    items.setStartSession("10A0");
    items.addLine("0A1F20\t2\tBE+\tTempérature <1>\t\t0.5\t-40\t1\tP\t1\t0FFF");
    items.saveConfigXML(path);
    EXPECT_EQ(readFile(path), kSavedFile);
}

TEST_F(ConfigFile, RoundTripKeepsEverything) {
    items.setMethode("ReadMemoryByAddressMerged");
    items.setMergeWindow(16);
    items.setLengthSize(2);
    items.setStartSession("10a0");
    const char* lines[] = {
        "0A1F20\t2\tBE+\tHalf\t\t0.5\t0\t1\tP\t1",
        "01\t1\tLE\t   \tV\t0.333333333333333\t1E-20\t-123.456\tH\t1\t0F",
        "FFFFFF\t8\tBE\t<&>\"' ü\t°C\t6.02214076E+23\t-0\t7\tB\t1",
        "0102\t4\tLE+\tSecond\tkm/h\t1\t2\t3\tD\t1\tF0F0",
        "02\t1\tLE\tline\rbreak\t\x01\n\t1\t0\t1\tD\t1",
        "03\t4\tBEF\tSingle\t\t1\t0\t1\tD\t1",
        "04\t8\tLEF\tDouble\t\t2\t0\t1\tP\t1\t00000000000000FF",
    };
    for (const char* line : lines) {
        ASSERT_NE(items.addLine(line), nullptr) << line;
    }
    // The session comes back in the byte string's own hexadecimal form; the
    // control character, which XML cannot carry, is left out and said so.
    std::string expected = summary(items);
    expected.replace(expected.find("10a0"), 4, "10A0");
    expected.erase(expected.find('\x01'), 1);
    const std::string path = directory.file("round.xml");
    EXPECT_NE(items.saveConfigXML(path).find("Characters that XML cannot carry"),
              std::string::npos);
    EXPECT_EQ(testing::strictXmlComplaint(path), "");

    VistrelItems loaded(testing::kFrench); // the file does not depend on the user's format
    loaded.loadConfigXML(path);
    EXPECT_EQ(summary(loaded), expected);
    for (std::int32_t i = 0; i < items.count(); ++i) {
        EXPECT_EQ(loaded.at(i).coefA(), items.at(i).coefA());
        EXPECT_EQ(loaded.at(i).coefB(), items.at(i).coefB());
        EXPECT_EQ(loaded.at(i).coefC(), items.at(i).coefC());
    }
    // Loaded items carry no key.
    EXPECT_EQ(loaded.item("Half"), nullptr);
}

TEST_F(ConfigFile, HandWrittenFiles) {
    const std::string path = directory.file("hand.xml");
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Vistrel Version=\"1,0\">";
    const std::string tail = "</Vistrel>";
    const std::string kept = "method=1 size=2 session=1081";
    // Data that cannot be converted stops the load; what was read before stays.
    const auto stops = [](const std::string& data) {
        return "<Datas><Data><address>01</address><length>1</length></Data><Data>" + data +
               "</Data><Data><address>03</address><length>1</length></Data></Datas>";
    };
    const std::string first = kept + "\n01 len=1 mask=FF BE H name= unit= A=1 B=0 C=1";
    const struct {
        const char* what;
        std::string body;
        std::string expected;
        std::int32_t error = 0;
    } cases[] = {
        {"indented, every setting",
         "\n  <Method>0</Method>\n  <LengthSize>1</LengthSize>\n  <StartSession>10a0</StartSession>"
         "\n  <Datas>\n    <Data>\n      <address>0a1f20</address><length>2</length><type>LE</type>"
         "<name>Rpm</name><unit>tr/min</unit><A>0.25</A><B>0</B><C>1</C><format>P</format>"
         "<mask>FFFF</mask>\n    </Data>\n  </Datas>\n",
         "method=0 size=1 session=10A0\n"
         "0A1F20 len=2 mask=FFFF LE P name=Rpm unit=tr/min A=0.25 B=0 C=1"},
        {"absent settings and elements take their defaults, same names are both loaded",
         "<Datas><Data><address>01</address><length>1</length><name>X</name></Data><Data>"
         "<address>02</address><length>1</length><name>x</name><A/><B></B><C/></Data></Datas>",
         kept + "\n01 len=1 mask=FF BE H name=X unit= A=1 B=0 C=1"
                "\n02 len=1 mask=FF BE H name=x unit= A=0 B=0 C=1"},
        {"leading numbers with a full stop only",
         "<Datas><Data><address>01</address><length>1</length><A>2,5</A><B> -1.5e2xyz</B>"
         "<C>.5</C></Data><Data><address>02</address><length>1</length><A>abc</A><B>1e308</B>"
         "<C>-7E</C></Data></Datas>",
         kept + "\n01 len=1 mask=FF BE H name= unit= A=2 B=-150 C=0.5"
                "\n02 len=1 mask=FF BE H name= unit= A=0 B=1e+308 C=-7"},
        {"order, foreign nodes and repeated elements",
         "<!-- note --><Datas x='1'><Other/><Data><name>First</name><name>Second</name>"
         "<length> 2 </length><?pi x?><address>0102</address><mask>00FF</mask></Data></Datas>"
         "<Method>1</Method>",
         "method=1 size=2 session=1081\n0102 len=2 mask=00FF BE H name=First unit= A=1 B=0 C=1"},
        {"rejected data elements are skipped",
         "<Datas><Data><address>ABC</address><length>1</length></Data>"
         "<Data><address></address><length>1</length></Data>"
         "<Data><address>0A</address></Data>"
         "<Data><address>0A</address><length></length></Data>"
         "<Data><address>0A</address><length>0</length></Data>"
         "<Data><address>0A</address><length>9</length></Data>"
         "<Data><address>0A</address><length>1,5</length></Data>"
         "<Data><address>\u00E9</address><length>1</length></Data>"
         "<Data><address>0B</address><length>2.5</length></Data></Datas>",
         kept + "\n0B len=2 mask=FFFF BE H name= unit= A=1 B=0 C=1"},
        {"settings read exactly",
         "<Method>DynamicallyDefined</Method><LengthSize>02</LengthSize>"
         "<StartSession>XYZ</StartSession>",
         "method=0 size=1 session=1081"},
        {"empty session", "<Method> 1</Method><StartSession/>", "method=0 size=2 session="},
        {"fast methods and the merge window", "<Method>2</Method><mergeWindow>255</mergeWindow>",
         "method=2 size=2 session=1081 window=255"},
        {"a number fixes the window, even the former default", "<mergeWindow>32</mergeWindow>",
         "method=1 size=2 session=1081 window=32"},
        {"merge window out of range, unknown method",
         "<Method>5</Method><mergeWindow>256</mergeWindow>", "method=0 size=2 session=1081"},
        {"merge window not a plain number", "<Method>3</Method><mergeWindow>1 6</mergeWindow>",
         "method=3 size=2 session=1081"},
        // Blanks beside a child element, a CDATA section, a comment, or alone.
        {"blanks beside other nodes belong to the value",
         "\r\n<Datas>\r\n<Data>\r\n<address>01</address>\r\n<length>1</length>\r\n<name> "
         "<b>x</b>\r\n</name>\r\n<unit> <![CDATA[x]]> </unit>\r\n</Data>\r\n<Data><address>02"
         "</address><length>1</length><name>\t<!-- c --> </name><unit>\r</unit></Data>\r\n"
         "</Datas>",
         kept + "\n01 len=1 mask=FF BE H name= x\r\n unit= x  A=1 B=0 C=1"
                "\n02 len=1 mask=FF BE H name=\t  unit=\r A=1 B=0 C=1"},
        {"length too large", stops("<address>02</address><length>1e12</length>"), first, 13},
        {"address not hexadecimal", stops("<address>0G</address><length>1</length>"), first,
         kHexTextError},
        {"coefficient too large", stops("<address>02</address><length>1</length><A>1e400</A>"),
         first, 6},
    };
    for (const bool wide : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (wide ? " in UTF-16" : ""));
            // Settings that differ from the defaults, so that a file that leaves
            // a setting alone is told apart from one that sets the default.
            items.clear();
            items.setMethode("DynamicallyDefined");
            items.setLengthSize(2);
            items.setStartSession("1081");
            items.setMergeWindow(VistrelItems::kDefaultMergeWindow);
            const std::string file = head + c.body + tail;
            writeFile(path, wide ? utf16le(file) : file);
            const auto error = testing::errorOf([&] { loadInto(items, path); });
            EXPECT_EQ(error ? error->number() : 0, c.error);
            EXPECT_EQ(summary(items), c.expected);
            EXPECT_TRUE(messages.shown.empty());
        }
    }
}

// A file that does not load, or whose root is not a Vistrel element with a
// positive version (read in every user's format), leaves the list as it was
// and shows why.
TEST_F(ConfigFile, FilesThatDoNotLoadShowWhy) {
    const std::string path = directory.file("refused.xml");
    const std::string badFile = "Mauvais fichier de configuration / Bad config file\r\n" + path;
    const std::string notXml = path + " is not a vistrel configuration file (not XML)\r\n";
    const auto withRoot = [](const std::string& root) {
        return "<" + root + "><Method>1</Method><Datas><Data><address>01</address><length>1" +
               "</length></Data></Datas></" + root.substr(0, root.find(' ')) + ">";
    };
    const struct {
        const char* what;
        std::optional<std::string> contents; // none: no file
        std::string message;                 // empty when the file loads
        bool isDirectory = false;
    } cases[] = {
        {"version 2", withRoot("Vistrel Version=\"2\""), ""},
        {"version 1.0", withRoot("Vistrel Version=\"1.0\""), ""},
        {"version 0,0", withRoot("Vistrel Version=\"0,0\""), badFile},
        {"version abc", withRoot("Vistrel Version=\"abc\""), badFile},
        {"no version", withRoot("Vistrel"), badFile},
        {"root in lower case", withRoot("vistrel Version=\"1\""), badFile},
        {"other root", withRoot("Other Version=\"1\""), badFile},
        {"missing file", std::nullopt, "erreur load 1 0 File was not found"},
        {"empty file", "", notXml + "erreur load 4 1 Document is empty"},
        {"notes", "Call the garage\nOrder brake pads\n",
         notXml + "erreur load 4 1 Document is empty"},
        {"a picture", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
         notXml + "erreur load 4 1 Document is empty"},
        {"broken on line 4", "<Vistrel Version='1'>\n<Datas>\n<Data>\n</Datas>\n</Vistrel>",
         "erreur load 76 4 Opening and ending tag mismatch: Data line 3 and Datas"},
        {"NUL bytes in an end tag",
         std::string("<Vistrel Version='1'><Method>1</Method></Vistrel\0\0>", 51),
         "erreur load 9 1 Char 0x0 out of allowed range"},
        {"invalid UTF-8", "<Vistrel Version='1'>\n<Method>\xE9</Method></Vistrel>",
         "erreur load 9 2 Input is not proper UTF-8, indicate encoding !\nBytes: 0xE9 0x3C 0x2F "
         "0x4D"},
        {"UTF-32 with a code point beyond Unicode",
         std::string("<\0\0\0V\0\0\0/\0\0\0>\0\0\0\0\0\x11\0", 16),
         "erreur load 81 1 Input conversion failed due to input error"},
        {"a directory", std::nullopt, "erreur load 2 0 Error reading from file/stream", true},
    };
    for (const char* locale : testing::kRealLocales) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(locale) + " " + c.what);
            VistrelItems list(testing::realFormat(locale));
            list.add("02");
            messages.shown.clear();
            if (c.contents) {
                writeFile(path, *c.contents);
            } else {
                std::filesystem::remove(path);
            }
            loadInto(list, c.isDirectory ? directory.file("") : path);
            const bool loaded = c.message.empty();
            ASSERT_EQ(messages.shown.size(), loaded ? 0U : 1U);
            if (!loaded) {
                EXPECT_EQ(messages.shown[0].text, c.message);
                EXPECT_EQ(messages.shown[0].title, kApplicationTitle);
            }
            EXPECT_EQ(list.count(), loaded ? 2 : 1);
            EXPECT_EQ(static_cast<int>(list.method()), loaded ? 1 : 0);
        }
    }
}

class ConfigFileSave : public ConfigFile {
protected:
    void SetUp() override {
        items.addLine("0A1F20\t2\tBE\tRpm\t\t1\t0\t1\tD\t1");
        path = directory.file("config.xml");
        writeFile(path, "earlier file");
    }
    std::string path;
};

TEST_F(ConfigFileSave, ReplacesTheFileInOneStep) {
    // A reader that opened the earlier file keeps reading the earlier bytes:
    // the new file is a new file, never the old one rewritten in place.
    std::ifstream reader(path, std::ios::binary);
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    items.saveConfigXML(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "earlier file");
    EXPECT_NE(readFile(path).find("<name>Rpm</name>"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"config.xml"});

    // A symbolic link stays, and its target is replaced.
    const std::string link = directory.file("link.xml");
    std::filesystem::create_symlink("config.xml", link);
    writeFile(path, "earlier file");
    items.saveConfigXML(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(readFile(path).find("<name>Rpm</name>"), std::string::npos);
}

// Saves with the file size limited as a full disk would limit it; the
// error number, 0 when the save went through.
std::int32_t saveWithSizeLimit(VistrelItems& items, const std::string& path, rlim_t limit) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const auto error = testing::errorOf([&] { items.saveConfigXML(path); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return error ? error->number() : 0;
}

// The write fails at once, or half-way through a list whose file takes many
// writes, or the place cannot take the file at all: the earlier file stays
// whole and nothing else is left behind.
TEST_F(ConfigFileSave, FailedSaveKeepsTheEarlierFile) {
    for (const auto& [limit, count] : {std::pair<rlim_t, int>{64, 1}, {100'000, 2000}}) {
        SCOPED_TRACE(limit);
        for (int i = static_cast<int>(items.count()); i < count; ++i) {
            items.addLine("0A1F20\t2\tBE\tItem " + std::to_string(i) + "\t\t1\t0\t1\tD\t1");
        }
        EXPECT_EQ(saveWithSizeLimit(items, path, limit), kFileWriteError);
    }
    std::filesystem::create_directory(directory.file("sub"));
    for (const std::string& target :
         {directory.file("no/such/dir/config.xml"), directory.file(""), directory.file("sub")}) {
        EXPECT_THROW(items.saveConfigXML(target), Error) << target;
    }
    EXPECT_EQ(readFile(path), "earlier file");
    EXPECT_TRUE(std::filesystem::is_directory(directory.file("sub")));
    std::vector<std::string> entries = directory.entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"config.xml", "sub"}));
}

// Runs what as an ordinary user: the permission cases mean nothing to root,
// which CI runs as, so a child process gives up root for them. "" when all
// went well, else what went wrong.
std::string asOrdinaryUser(const std::function<std::string()>& what) {
    if (::geteuid() != 0) {
        return what();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        try {
            ok = ok && what().empty();
        } catch (...) {
            ok = false;
        }
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "failed as user nobody";
}

// A directory where no temporary file can be made, a file that belongs to
// someone else: the save writes in place and keeps owner and mode; and a
// save that fails there still leaves the earlier file whole.
TEST_F(ConfigFileSave, PlacesWithoutATemporaryFileAreWrittenInPlace) {
    const std::filesystem::path place = directory.path() / "user";
    std::filesystem::create_directory(place);
    const std::string own = (place / "own.xml").string();
    const std::string foreign = (place / "foreign.xml").string();
    writeFile(own, "earlier file");
    writeFile(foreign, "earlier file");
    ::chmod(foreign.c_str(), 0666);
    struct stat before {};
    ::stat(foreign.c_str(), &before);
    if (::geteuid() == 0) {
        ::chmod(directory.path().c_str(), 0755);
        ::chown(place.c_str(), 65534, 65534);
        ::chown(own.c_str(), 65534, 65534);
    }
    const std::string outcome = asOrdinaryUser([&]() -> std::string {
        if (items.saveConfigXML(foreign), readFile(foreign).find("Rpm") == std::string::npos) {
            return "foreign file not written";
        }
        ::chmod(place.c_str(), 0555);
        for (int i = 0; i < 50; ++i) {
            items.addLine("01\t1\tBE\tItem " + std::to_string(i) + "\t\t1\t0\t1\tD\t1");
        }
        if (saveWithSizeLimit(items, own, 2048) == 0) {
            return "saved beyond the size limit";
        }
        if (readFile(own) != "earlier file") {
            return "failed save damaged the file";
        }
        items.saveConfigXML(own);
        return readFile(own).find("Item 49") == std::string::npos ? "not written in place" : "";
    });
    EXPECT_EQ(outcome, "");
    ::chmod(place.c_str(), 0755);
    struct stat after {};
    ::stat(foreign.c_str(), &after);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(place), {}), 2);
    EXPECT_EQ(testing::strictXmlComplaint(own), "");
}

} // namespace
} // namespace vistrel
