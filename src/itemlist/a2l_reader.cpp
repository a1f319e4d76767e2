// SPDX-License-Identifier: MIT
#include "itemlist/a2l_reader.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/utf8.h"
#include "itemlist/a2l_lexer.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vistrel {
namespace {

// Deep enough for any real description (PROJECT, MODULE, a block, a
// sub-block), shallow enough that hostile input cannot exhaust the stack.
constexpr int kMaxBlockDepth = 64;
constexpr std::size_t kMaxIncludeDepth = 16;

// Older description files are often Latin-1; the list works in UTF-8.
std::string utf8Text(std::string bytes) {
    if (std::string_view(bytes).starts_with("\xEF\xBB\xBF")) {
        bytes.erase(0, 3);
    }
    if (isValidUtf8(bytes)) {
        return bytes;
    }
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        appendUtf8(text, static_cast<unsigned char>(c));
    }
    return text;
}

std::string describe(const A2lToken& token) {
    switch (token.kind) {
    case A2lToken::Kind::End:
        return "the end of the file";
    case A2lToken::Kind::String:
        return "a string";
    case A2lToken::Kind::Word:
        break;
    }
    return std::string(token.text);
}

class Reader {
public:
    Reader(A2lDescription& out, const A2lFileSource& files) : out_(out), files_(files) {}

    void readFile(const std::filesystem::path& path, const A2lLexer* includer, int includeLine) {
        const std::filesystem::path identity = path.lexically_normal();
        if (includer != nullptr) {
            if (std::find(open_.begin(), open_.end(), identity) != open_.end()) {
                includer->fail(includeLine, "/include \"" + identity.string() +
                                                "\": that file is already being read (an "
                                                "include loop)");
            }
            if (open_.size() >= kMaxIncludeDepth) {
                includer->fail(includeLine, "/include nested more than " +
                                                std::to_string(kMaxIncludeDepth) + " deep");
            }
        }
        std::optional<std::string> bytes = files_(path);
        if (!bytes) {
            if (includer != nullptr) {
                includer->fail(includeLine,
                               "cannot read the included file \"" + identity.string() + "\"");
            }
            throw Error(kMeasurementFileError, identity.string() + ": cannot read the file", "A2L");
        }
        const std::string text = utf8Text(std::move(*bytes));
        A2lLexer lexer(text, identity.string());
        open_.push_back(identity);
        readBody(lexer, {}, 0);
        open_.pop_back();
    }

private:
    // The content of a block that is only looked through for the blocks the
    // import needs, up to its /end (or the end of the file at the top).
    void readBody(A2lLexer& lexer, const A2lToken& begin, int depth) {
        for (;;) {
            const A2lToken token = lexer.next();
            if (token.kind == A2lToken::Kind::End) {
                if (depth > 0) {
                    neverEnded(lexer, begin);
                }
                return;
            }
            if (token.is("/begin")) {
                readBlock(lexer, blockName(lexer, token), depth + 1);
            } else if (token.is("/end")) {
                const A2lToken name = lexer.next();
                if (depth == 0) {
                    lexer.fail(token.line, "/end " + describe(name) + " without a /begin");
                }
                checkEnd(lexer, begin, name);
                return;
            } else if (token.is("/include")) {
                const A2lToken file = lexer.next();
                if (file.kind == A2lToken::Kind::End) {
                    lexer.fail(token.line, "/include names no file");
                }
                readFile(std::filesystem::path(lexer.fileName()).parent_path() / file.value(),
                         &lexer, token.line);
            }
        }
    }

    A2lToken blockName(A2lLexer& lexer, const A2lToken& beginToken) {
        const A2lToken name = lexer.next();
        if (name.kind != A2lToken::Kind::Word || name.text.starts_with('/')) {
            lexer.fail(beginToken.line,
                       "/begin is followed by " + describe(name) + ", not by a block name");
        }
        return name;
    }

    void readBlock(A2lLexer& lexer, const A2lToken& name, int depth) {
        if (depth > kMaxBlockDepth) {
            lexer.fail(name.line,
                       "blocks nested more than " + std::to_string(kMaxBlockDepth) + " deep");
        }
        if (name.is("MEASUREMENT")) {
            readMeasurement(lexer, name);
        } else if (name.is("COMPU_METHOD")) {
            readCompuMethod(lexer, name);
        } else if (name.is("MOD_COMMON")) {
            readModCommon(lexer, name);
        } else if (name.is("IF_DATA") || name.is("A2ML")) {
            skipBlock(lexer, name);
        } else {
            if (name.is("COMPU_VTAB")) {
                out_.compuTables.insert(expectWord(lexer, "COMPU_VTAB", "a name").value());
            }
            readBody(lexer, name, depth);
        }
    }

    [[noreturn]] void neverEnded(const A2lLexer& lexer, const A2lToken& begin) {
        lexer.fail(begin.line, "/begin " + std::string(begin.text) + " is never ended");
    }

    void checkEnd(const A2lLexer& lexer, const A2lToken& begin, const A2lToken& name) {
        if (name.kind != A2lToken::Kind::Word || name.text != begin.text) {
            lexer.fail(name.line, "/end " + describe(name) + " does not end /begin " +
                                      std::string(begin.text) + " of line " +
                                      std::to_string(begin.line));
        }
    }

    // Skips a block whatever it holds, counting only its /begin and /end.
    void skipBlock(A2lLexer& lexer, const A2lToken& begin) {
        int depth = 0;
        for (;;) {
            const A2lToken token = lexer.next();
            if (token.kind == A2lToken::Kind::End) {
                neverEnded(lexer, begin);
            }
            if (token.is("/begin")) {
                ++depth;
            } else if (token.is("/end")) {
                if (depth == 0) {
                    checkEnd(lexer, begin, lexer.next());
                    return;
                }
                --depth;
            }
        }
    }

    // The values of a block; context names the block in messages
    // ("MEASUREMENT Rpm").
    static A2lToken expect(A2lLexer& lexer, const std::string& context, A2lToken::Kind kind,
                           const char* what) {
        const A2lToken token = lexer.next();
        if (token.kind != kind || token.is("/end") || token.is("/begin")) {
            lexer.fail(token.line, context + ": expected " + what + ", found " + describe(token));
        }
        return token;
    }
    static A2lToken expectWord(A2lLexer& lexer, const std::string& context, const char* what) {
        return expect(lexer, context, A2lToken::Kind::Word, what);
    }
    static std::string expectString(A2lLexer& lexer, const std::string& context, const char* what) {
        return expect(lexer, context, A2lToken::Kind::String, what).value();
    }
    static double expectNumber(A2lLexer& lexer, const std::string& context, const char* what) {
        const A2lToken token = expectWord(lexer, context, what);
        const auto number = a2lNumber(token.text);
        if (!number) {
            lexer.fail(token.line, context + ": " + std::string(token.text) + " is not a number (" +
                                       what + ")");
        }
        return *number;
    }
    static long long expectInteger(A2lLexer& lexer, const std::string& context, const char* what) {
        const A2lToken token = expectWord(lexer, context, what);
        const auto number = a2lInteger(token.text);
        if (!number) {
            lexer.fail(token.line, context + ": " + std::string(token.text) +
                                       " is not a whole number (" + what + ")");
        }
        return *number;
    }

    // Reads the optional part of a block up to its /end: each keyword is
    // handed to take, which reads its values; nested blocks are skipped
    // after onBlock has seen their names; anything else is passed over.
    template <typename Take, typename OnBlock>
    void readKeywords(A2lLexer& lexer, const A2lToken& begin, Take take, OnBlock onBlock) {
        for (;;) {
            const A2lToken token = lexer.next();
            if (token.kind == A2lToken::Kind::End) {
                neverEnded(lexer, begin);
            }
            if (token.is("/end")) {
                checkEnd(lexer, begin, lexer.next());
                return;
            }
            if (token.is("/begin")) {
                const A2lToken name = blockName(lexer, token);
                onBlock(name);
                skipBlock(lexer, name);
            } else if (token.kind == A2lToken::Kind::Word) {
                take(token);
            }
        }
    }

    void readMeasurement(A2lLexer& lexer, const A2lToken& begin) {
        A2lMeasurement m;
        m.name = expectWord(lexer, "MEASUREMENT", "the name").value();
        const std::string context = "MEASUREMENT " + m.name;
        m.longIdentifier = expectString(lexer, context, "the long identifier");
        m.datatype = expectWord(lexer, context, "the datatype").value();
        m.conversion = expectWord(lexer, context, "the conversion").value();
        expectNumber(lexer, context, "the resolution");
        expectNumber(lexer, context, "the accuracy");
        expectNumber(lexer, context, "the lower limit");
        expectNumber(lexer, context, "the upper limit");
        readKeywords(
            lexer, begin,
            [&](const A2lToken& keyword) {
                if (keyword.is("ECU_ADDRESS")) {
                    m.ecuAddress = expectInteger(lexer, context, "ECU_ADDRESS");
                } else if (keyword.is("BIT_MASK")) {
                    m.bitMask = expectInteger(lexer, context, "BIT_MASK");
                } else if (keyword.is("BYTE_ORDER")) {
                    m.byteOrder = expectWord(lexer, context, "BYTE_ORDER").value();
                } else if (keyword.is("ARRAY_SIZE")) {
                    m.elementCount = expectInteger(lexer, context, "ARRAY_SIZE");
                } else if (keyword.is("MATRIX_DIM")) {
                    m.elementCount = readMatrixDim(lexer, context);
                } else if (keyword.is("PHYS_UNIT")) {
                    m.physUnit = expectString(lexer, context, "PHYS_UNIT");
                }
            },
            [&](const A2lToken& name) { m.isVirtual = m.isVirtual || name.is("VIRTUAL"); });
        out_.measurements.push_back(std::move(m));
    }

    // MATRIX_DIM gives one to three dimensions (any number in newer files):
    // the whole numbers that follow it. The product saturates, so a huge
    // matrix is still seen as one.
    static long long readMatrixDim(A2lLexer& lexer, const std::string& context) {
        long long product = expectInteger(lexer, context, "MATRIX_DIM");
        for (;;) {
            A2lLexer lookahead = lexer;
            const A2lToken token = lookahead.next();
            const auto number =
                token.kind == A2lToken::Kind::Word ? a2lInteger(token.text) : std::nullopt;
            if (!number) {
                return product;
            }
            lexer = lookahead;
            product =
                (*number != 0 && std::abs(product) > (1LL << 40)) ? (1LL << 40) : product * *number;
        }
    }

    void readCompuMethod(A2lLexer& lexer, const A2lToken& begin) {
        const std::string name = expectWord(lexer, "COMPU_METHOD", "the name").value();
        const std::string context = "COMPU_METHOD " + name;
        A2lCompuMethod method;
        expectString(lexer, context, "the long identifier");
        method.conversionType = expectWord(lexer, context, "the conversion type").value();
        expectString(lexer, context, "the format");
        method.unit = expectString(lexer, context, "the unit");
        readKeywords(
            lexer, begin,
            [&](const A2lToken& keyword) {
                if (keyword.is("COEFFS")) {
                    method.coeffs.clear();
                    for (int i = 0; i < 6; ++i) {
                        method.coeffs.push_back(expectNumber(lexer, context, "COEFFS"));
                    }
                } else if (keyword.is("COEFFS_LINEAR")) {
                    method.coeffsLinear.clear();
                    for (int i = 0; i < 2; ++i) {
                        method.coeffsLinear.push_back(
                            expectNumber(lexer, context, "COEFFS_LINEAR"));
                    }
                }
            },
            [](const A2lToken&) {});
        out_.compuMethods.emplace(name, std::move(method));
    }

    void readModCommon(A2lLexer& lexer, const A2lToken& begin) {
        const std::string context = "MOD_COMMON";
        expectString(lexer, context, "the comment");
        readKeywords(
            lexer, begin,
            [&](const A2lToken& keyword) {
                if (keyword.is("BYTE_ORDER")) {
                    const std::string order = expectWord(lexer, context, "BYTE_ORDER").value();
                    if (out_.moduleByteOrder.empty()) {
                        out_.moduleByteOrder = order;
                    }
                }
            },
            [](const A2lToken&) {});
    }

    A2lDescription& out_;
    const A2lFileSource& files_;
    std::vector<std::filesystem::path> open_;
};

} // namespace

A2lFileSource a2lFilesOnDisk() {
    return [](const std::filesystem::path& path) -> std::optional<std::string> {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            return std::nullopt;
        }
        std::ifstream stream(path, std::ios::binary);
        if (!stream) {
            return std::nullopt;
        }
        std::ostringstream bytes;
        bytes << stream.rdbuf();
        if (stream.bad()) {
            return std::nullopt;
        }
        return std::move(bytes).str();
    };
}

A2lDescription readA2l(const std::filesystem::path& path, const A2lFileSource& files) {
    A2lDescription description;
    Reader(description, files).readFile(path, nullptr, 0);
    return description;
}

} // namespace vistrel
