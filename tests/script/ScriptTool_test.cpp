// vanta-script run as a program: results of each kind, arguments read as numbers, booleans or strings,
// errors with the engine's code and message, and usage errors.
#include "support/Subprocess.h"
#include "support/TempFolder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

class ScriptToolTest : public ::testing::Test
{
protected:
    ProcessResult Script(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv{VANTA_SCRIPT_TOOL};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return RunProcess(argv, folder.Path(""));
    }

    TempFolder folder;
    const std::string script = folder.Write("game.lua", "print('loaded')\n"
                                                        "function add(a, b) return a + b end\n"
                                                        "function kinds(...) local t = {} for i = 1, select('#', ...) "
                                                        "do t[i] = type((select(i, ...))) end "
                                                        "return table.concat(t, ' ') end\n"
                                                        "function echo(s) return s end\n"
                                                        "function isnt(b) return not b end\n"
                                                        "function nothing() end\n"
                                                        "function fails() error('out of luck') end\n");
};

TEST_F(ScriptToolTest, PrintsTheResultOfEachKind)
{
    EXPECT_EQ(Script({script, "add", "40", "2"}).out, "loaded\nnumber 42\n");
    EXPECT_EQ(Script({script, "add", "0.1", "0.2"}).out, "loaded\nnumber 0.30000000000000004\n");
    EXPECT_EQ(Script({script, "add", "-1e300", "-1e300"}).out, "loaded\nnumber -2e+300\n");
    EXPECT_EQ(Script({script, "echo", "caf\xe9"}).out, "loaded\nstring caf\xe9\n");
    EXPECT_EQ(Script({script, "isnt", "false"}).out, "loaded\nboolean 1\n");
    const ProcessResult none = Script({script, "nothing"});
    EXPECT_EQ(none.out, "loaded\nnone\n");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "");
    EXPECT_EQ(Script({script}).out, "loaded\n");
}

TEST_F(ScriptToolTest, ReadsArgumentsAsNumbersBooleansOrStrings)
{
    EXPECT_EQ(Script({script, "kinds", "3", "-2.5e3", "true", "false", "3x", "True", "", "nan", "0x10"}).out,
              "loaded\nstring number number boolean boolean string string string string string\n");
}

TEST_F(ScriptToolTest, ReportsErrorsWithTheEnginesCodeAndMessage)
{
    const ProcessResult failed = Script({script, "fails"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "loaded\n");
    EXPECT_EQ(failed.err, "error 2: " + script + ":7: out of luck\n");

    const ProcessResult missing = Script({script, "absent"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "error 2: attempt to call a nil value\n");

    const ProcessResult syntax = Script({folder.Write("bad.lua", "x = = 1\n")});
    EXPECT_EQ(syntax.status, 1);
    EXPECT_EQ(syntax.err, "error 3: " + folder.Path("bad.lua") + ":1: unexpected symbol near '='\n");

    const ProcessResult absent = Script({folder.Path("absent.lua"), "add"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.err, "error 6: cannot open " + folder.Path("absent.lua") + ": No such file or directory\n");
}

TEST_F(ScriptToolTest, WithoutAFileItShowsItsUsage)
{
    const ProcessResult usage = Script({});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_EQ(usage.err, "usage: vanta-script FILE [FUNCTION [ARG...]]\n");
}

} // namespace
} // namespace vanta::test
